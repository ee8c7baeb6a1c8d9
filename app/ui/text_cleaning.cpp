#include "text_cleaning.h"

namespace lapdex::ui {

QString cleanEditedText(QString text, LineBreaks lineBreaks) {
    if (lineBreaks == LineBreaks::Remove) {
        text.remove(QChar(u'\r'));
        text.remove(QChar(u'\n'));
    }
    static constexpr char16_t kRemoved[] = {u'\u200E', u'\u200F', u'\u200D', u'\u200C', u'\u202A',
                                            u'\u202B', u'\u202D', u'\u202E', u'\u202C', u'\u206E',
                                            u'\u206F', u'\u206B', u'\u206A', u'\u206D', u'\u206C',
                                            u'\u001E', u'\u001F'};
    for (char16_t c : kRemoved) text.remove(QChar(c));
    return toCp932Forms(std::move(text));
}

QString toCp932Forms(QString text) {
    static constexpr char16_t kForms[][2] = {{u'\u301C', u'\uFF5E'}, {u'\u2212', u'\uFF0D'},
                                             {u'\u2016', u'\u2225'}, {u'\u2014', u'\u2015'},
                                             {u'\u00A2', u'\uFFE0'}, {u'\u00A3', u'\uFFE1'},
                                             {u'\u00AC', u'\uFFE2'}};
    for (const auto& form : kForms) text.replace(QChar(form[0]), QChar(form[1]));
    return text;
}

}  // namespace lapdex::ui
