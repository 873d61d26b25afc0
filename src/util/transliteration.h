// Plain-letter form of windows-1250 text: the record links of the list pages
// carry a record's value in this form, so that a value with Czech letters
// selects detail pages and reaches the next page the same way whatever code
// page the browser and the database use.
#pragma once

#include <string>

namespace tessaro {

// Replaces every byte from 80 hex up by its plain form: letters lose their
// diacritics (the capital O with acute becomes a small o), typographic signs
// become their ASCII look-alikes (the single guillemets become "<" and ">",
// the curly double quotes '"'), and a few bytes become other bytes of the
// upper half. Bytes below 80 hex stay.
void Transliterate(std::string& text);

}  // namespace tessaro
