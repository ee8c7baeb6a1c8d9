// How the page shows a stored time text: clock times with ' and " marks, decimal minutes with '.
#pragma once

#include <QString>

namespace lapdex::ui {

// "a:b:c.d" becomes a:b'c"d; a text with a colon but without a second colon or a point after
// it stays unchanged; a text without a colon has every '.' replaced by '\'' (123.456 shows as
// 123'456).
QString displayTime(const QString& text);

}  // namespace lapdex::ui
