// Cleaning of edited names and memos: direction and joiner controls never reach a file.
#pragma once

#include <QString>

namespace lapdex::ui {

enum class LineBreaks { Keep, Remove };

// Removes, in this order, every CR and LF (when asked), then every U+200E, U+200F,
// U+200D, U+200C, U+202A, U+202B, U+202D, U+202E, U+202C, U+206E, U+206F, U+206B,
// U+206A, U+206D, U+206C, U+001E and U+001F.
QString cleanEditedText(QString text, LineBreaks lineBreaks);

}  // namespace lapdex::ui
