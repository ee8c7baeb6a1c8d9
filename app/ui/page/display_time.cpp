#include "display_time.h"

namespace lapdex::ui {

QString displayTime(const QString& text) {
    const qsizetype firstColon = text.indexOf(u':');
    if (firstColon < 0) {
        QString decimal = text;
        return decimal.replace(u'.', u'\'');
    }
    const qsizetype secondColon = text.indexOf(u':', firstColon + 1);
    if (secondColon < 0) return text;
    const qsizetype point = text.indexOf(u'.', secondColon + 1);
    if (point < 0) return text;
    return text.left(firstColon) + u':' + text.mid(firstColon + 1, secondColon - firstColon - 1) +
           u'\'' + text.mid(secondColon + 1, point - secondColon - 1) + u'"' + text.mid(point + 1);
}

}  // namespace lapdex::ui
