#include "console/glyph_choice.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace referee {

namespace {

bool same_letters(std::string_view a, std::string_view b) {
    const auto lower
        = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
        return lower(x) == lower(y);
    });
}

bool is_utf8_codeset(std::string_view codeset) {
    return same_letters(codeset, "UTF-8") || same_letters(codeset, "utf8");
}

// The names the C libraries give the codeset of the C and POSIX locales.
bool is_ascii_codeset(std::string_view codeset) {
    constexpr std::array<std::string_view, 4> names{"ANSI_X3.4-1968", "ASCII", "US-ASCII", "646"};
    return std::any_of(names.begin(), names.end(),
        [&](std::string_view name) { return same_letters(codeset, name); });
}

// The codeset part of a locale name: between the '.' and an '@modifier', empty when there is none.
std::string_view codeset_of(std::string_view locale_name) {
    const std::size_t dot = locale_name.find('.');
    if (dot == std::string_view::npos) {
        return {};
    }
    const std::string_view rest = locale_name.substr(dot + 1);
    return rest.substr(0, rest.find('@'));
}

} // namespace

std::string_view locale_name_from_environment() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable); // NOLINT(concurrency-mt-unsafe): one thread
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

bool names_utf8(std::string_view locale_name) {
    return is_utf8_codeset(codeset_of(locale_name));
}

GlyphMode choose_glyph_mode(const LocaleFacts& facts) {
    if (facts.locale_set && is_utf8_codeset(facts.codeset)) {
        return GlyphMode::utf8;
    }
    if (!facts.output_is_terminal) {
        return GlyphMode::raw; // pipes and files: the bytes the recorded games hold
    }
    if (!facts.locale_set && names_utf8(facts.name)) {
        return GlyphMode::utf8; // a UTF-8 locale that this machine lacks
    }
    // The C locale, set or fallen back to, shows no glyph; a locale that names another character
    // set and is missing may still be what the terminal shows, so its bytes go out raw.
    const bool names_other_set = !facts.locale_set && !codeset_of(facts.name).empty();
    return is_ascii_codeset(facts.codeset) && !names_other_set ? GlyphMode::utf8 : GlyphMode::raw;
}

} // namespace referee
