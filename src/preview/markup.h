#ifndef SYMCONV_PREVIEW_MARKUP_H_
#define SYMCONV_PREVIEW_MARKUP_H_

#include <string>
#include <string_view>

/// The shortest decimal text that reads back as exactly value ("0.5",
/// "-0", "1e+20"); NaN and the infinities give "nan", "inf" and "-inf".
std::string FormatNumber(double value);

/// A number for people: rounded to six decimals, trailing zeros dropped
/// ("640", "1.316524", "0"); NaN and the infinities as FormatNumber.
std::string FormatRounded(double value);

/// Appends bytes as XML character data, fit for text and for attribute
/// values in double quotes: & < > " ' are escaped; valid UTF-8 is kept;
/// any other byte is read as a Windows-1252 character (names come in the
/// system's 8-bit code page); control characters that XML cannot hold and
/// bytes that code page leaves undefined become U+FFFD.
void AppendXmlText(std::string* out, std::string_view bytes);

/// bytes as UTF-8 text, by the same reading of the bytes as AppendXmlText
/// (control characters are kept), for a JSON string.
std::string TextAsUtf8(std::string_view bytes);

#endif  // SYMCONV_PREVIEW_MARKUP_H_
