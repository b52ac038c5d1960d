// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// HTML character references turned into UTF-8: the named ones a page's text and attributes
// use (&quot; &amp; &apos; &lt; &gt; &nbsp;) and numeric ones (&#39; &#x4E2D;). A reference
// that is not one of these, or names no valid character, stays as it stands. One pass.
std::string DecodeHtmlEntities(std::string_view text);

// The text between tags, tags left out and <br> turned into a line break; a tag never
// closed leaves out the rest. Entities are not decoded. One pass.
std::string StripHtmlTags(std::string_view html);

// Runs of blanks become one space, none at either end: what a browser shows of the text.
std::string FoldBlanks(std::string_view text);
// The text an element's content shows: tags left out, entities decoded, blanks folded.
std::string ShownText(std::string_view html);

// The first `limit` bytes of a UTF-8 text, never ending inside a character.
std::string CutUtf8(std::string text, size_t limit);

// What stands between the first `open` and the `close` after it; nothing without both.
std::optional<std::string_view> Enclosed(std::string_view page, std::string_view open,
                                         std::string_view close);
// The page's <title> text as written (entities and blanks untouched); nothing without one.
std::optional<std::string_view> PageTitle(std::string_view page);

}  // namespace tarn
