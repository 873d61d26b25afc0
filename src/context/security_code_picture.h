// The security-code picture: a code drawn in a bold sans font, each character
// in a random colour, size and angle, so that a person reads it and a program
// does not easily. The layout changes on every drawing.
#pragma once

#include <string>
#include <string_view>

#include "context/rgb_image.h"

namespace tessaro {

// The bold sans font the picture is drawn in: Debian's Liberation Sans Bold
// (fonts-liberation or fonts-liberation2), the first of its paths that exists.
std::string SecurityCodeFontFile();

// `text` drawn as the security-code picture with the font file `font_file`.
// Throws Exception "FONT" when the font cannot be opened or sized, "METRIC"
// when the text's size cannot be read and "Text extent" when a character
// cannot be measured; and the loader's exception without the FreeType library.
TRgbImage DrawSecurityCodePicture(std::string_view text, const std::string& font_file = SecurityCodeFontFile());

}  // namespace tessaro
