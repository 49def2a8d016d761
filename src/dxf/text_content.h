#ifndef SYMCONV_DXF_TEXT_CONTENT_H_
#define SYMCONV_DXF_TEXT_CONTENT_H_

#include <string>
#include <string_view>
#include <vector>

/// The no-break space that MTEXT's \~ gives: laid out as a space, but a
/// line is never broken there.
constexpr char32_t kNoBreakSpace = 0xA0;

/// The characters that the value of a TEXT, ATTDEF or ATTRIB shows. %%c,
/// %%d and %%p give the diameter, degree and plus-minus signs, %%% a '%'
/// and %%nnn the character nnn; the underline and overline switches %%u and
/// %%o are dropped. \U+XXXX gives the character XXXX (hex). Other bytes are
/// read as UTF-8 where they form a valid sequence and as Windows-1252
/// otherwise (the code page of drawings before R2007).
std::u32string DecodeTextValue(std::string_view value);

/// The paragraphs that an MTEXT value shows, with its inline codes applied:
/// \P (and the column break \N and ^J) end a paragraph, \~ is a no-break
/// space, \\, \{ and \} are the characters themselves, braces and the
/// formatting codes (\f...; \H...; \C...; \L \O \K ... ) are dropped, a
/// stacked fraction \Sa^b; reads as a/b, and the codes of
/// DecodeTextValue apply as well.
std::vector<std::u32string> DecodeMText(std::string_view value);

#endif  // SYMCONV_DXF_TEXT_CONTENT_H_
