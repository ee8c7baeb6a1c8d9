// Cleaning of edited names and memos: direction and joiner controls never reach a file.
#pragma once

#include <QString>

namespace lapdex::ui {

enum class LineBreaks { Keep, Remove };

// Removes, in this order, every CR and LF (when asked), then every U+200E, U+200F,
// U+200D, U+200C, U+202A, U+202B, U+202D, U+202E, U+202C, U+206E, U+206F, U+206B,
// U+206A, U+206D, U+206C, U+001E and U+001F. Then turns the JIS forms that input methods
// on Linux type into the forms code page 932 holds (see toCp932Forms).
QString cleanEditedText(QString text, LineBreaks lineBreaks);

// U+301C -> U+FF5E, U+2212 -> U+FF0D, U+2016 -> U+2225, U+2014 -> U+2015, U+00A2 -> U+FFE0,
// U+00A3 -> U+FFE1, U+00AC -> U+FFE2: the same keys give the same stored character on every
// system.
QString toCp932Forms(QString text);

}  // namespace lapdex::ui
