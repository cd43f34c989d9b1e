#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace segmora {

// The open dialog's filter string: entries of "display text|patterns|", the
// patterns separated by ";". Six entries: NC text, text, the two user types
// (name + "(" + mask + ")" with the mask as pattern), all files, and "no
// extension" with an empty pattern list. The four values go in as they stand
// (UTF-8), with no trimming and no check of their characters.
std::string BuildOpenFilter(const std::string &user1Name, const std::string &user1Mask,
                            const std::string &user2Name, const std::string &user2Mask);

// Completes a typed extension into a mask: unchanged when it holds "*."
// anywhere; "*" + mask when it holds a "."; "*." + mask otherwise. Blanks are
// kept. The mask is not empty (an empty one comes back as "*.").
std::string NormalizeMask(std::string_view mask);

// One entry of a filter string.
struct FilterEntry {
    std::string Display;               // as in the filter string
    std::vector<std::string> Patterns; // its pattern list split at ";", empties left out
};

// The entries of a filter string, in order. A last entry without its
// closing "|" still counts; an empty filter has no entries.
std::vector<FilterEntry> ParseOpenFilter(std::string_view filter);

// The entries in the form Qt's file dialog takes as name filters:
// "display (pattern pattern ...)". The dialog finds the patterns in the last
// parentheses, so showing it with QFileDialog::HideNameFilterDetails shows
// the display text as the filter string has it. An entry with no pattern
// gives "display ()", which the dialog takes as "no name filter". The dialog
// reads the patterns only when they are plain ASCII without "(", ")", a
// backslash or quotes; a caller that must list other masks applies
// ParseOpenFilter's patterns to the file list itself.
std::vector<std::string> ToNameFilters(std::string_view filter);

} // namespace segmora
