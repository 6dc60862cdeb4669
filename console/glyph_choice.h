// How the board's glyphs go out on a POSIX terminal, decided from what the locale and standard
// output tell. The decision is kept free of system calls so that it is tested as a table.
#pragma once

#include "console/text_console.h"

#include <string_view>

namespace referee {

// What the program finds when it starts.
struct LocaleFacts {
    std::string_view name; // LC_ALL, else LC_CTYPE, else LANG: the first that is set and not empty
    bool locale_set = false; // setlocale(LC_CTYPE, "") succeeded
    std::string_view codeset; // nl_langinfo(CODESET) after that; the C locale's when it failed
    bool output_is_terminal = false;
};

// UTF-8 when the locale uses it; on a terminal also when a locale that names UTF-8 is not
// installed, and when the locale is plain ASCII (C, POSIX), which shows none of the glyphs.
// Raw code page 437 bytes otherwise: pipes and files in any other locale, and terminals whose
// locale names another character set.
[[nodiscard]] GlyphMode choose_glyph_mode(const LocaleFacts& facts);

// The name of the locale that selects the character set: LC_ALL, else LC_CTYPE, else LANG, the
// first that is set and not empty; empty when none is.
[[nodiscard]] std::string_view locale_name_from_environment();

// Whether a locale name selects UTF-8: "en_US.UTF-8", "C.utf8", "de_DE.UTF-8@euro", any case.
[[nodiscard]] bool names_utf8(std::string_view locale_name);

} // namespace referee
