// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>
#include <string_view>

namespace tarn {

// Where the next tag opened by `opening` ("<img", "<li") starts at or after `from`, or npos; a
// longer name ("<imgx", "<link" for "<li") is not that tag.
size_t FindTag(std::string_view text, size_t from, std::string_view opening);

// Walks a tag's attributes from just after its name, calling `attribute` with each name and
// raw value (quoted either way or bare); returns the position after the tag's '>', or npos
// when the text ends first.
size_t ReadAttributes(
    std::string_view text, size_t at,
    const std::function<void(std::string_view name, std::string_view value)>& attribute);

// The raw value of the tag's first attribute called `name` (any case), read as ReadAttributes
// does; `end` gets what ReadAttributes returns.
std::optional<std::string_view> FirstAttribute(std::string_view text, size_t at,
                                               std::string_view name, size_t& end);

// The next tag opened by `opening` at or after `from` whose class lists `name`: where it
// starts, with `end` after its '>'; npos when there is none, or when a tag swallows the rest.
size_t FindTagOfClass(std::string_view text, size_t from, std::string_view opening,
                      std::string_view name, size_t& end);

// Where the <div> whose content starts at `from` ends: at the "</div" that closes it, nested
// <div>s counted; the text's size when it is never closed.
size_t DivEnd(std::string_view text, size_t from);

// Whether a class attribute's value lists `name` among its blank-separated names.
bool HasClass(std::string_view classes, std::string_view name);

}  // namespace tarn
