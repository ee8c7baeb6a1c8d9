#include "dialog_template.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace lapdex::ui {

namespace {

QRect rectFrom(const QJsonArray& a) {
    return QRect(a.at(0).toInt(), a.at(1).toInt(), a.at(2).toInt(), a.at(3).toInt());
}

std::vector<MenuItemSpec> menuFrom(const QJsonArray& items) {
    std::vector<MenuItemSpec> menu;
    for (const auto& v : items) {
        const QJsonObject o = v.toObject();
        menu.push_back({o.value("id").toInt(), o.value("text").toString()});
    }
    return menu;
}

ControlSpec controlFrom(const QJsonObject& o) {
    ControlSpec c;
    c.id = o.value("id").toInt(kNoControlId);
    c.kind = o.value("kind").toString();
    c.text = o.value("text").toString();
    c.name = o.value("name").toString();
    for (const auto& s : o.value("style").toArray()) c.style << s.toString();
    c.rect = rectFrom(o.value("rect").toArray());
    if (const QJsonArray g = o.value("grow").toArray(); g.size() == 4)
        c.grow = {g.at(0).toDouble(), g.at(1).toDouble(), g.at(2).toDouble(), g.at(3).toDouble()};
    return c;
}

}  // namespace

const ControlSpec* DialogTemplate::find(int id) const {
    for (const auto& c : controls)
        if (c.id == id && id != kNoControlId) return &c;
    return nullptr;
}

DialogTemplate loadTemplate(const QString& name, Language language) {
    QFile file(QStringLiteral(":/templates/%1.json").arg(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonObject set = root.value(language == Language::Japanese ? "ja" : "en").toObject();
    if (set.isEmpty()) return {};
    DialogTemplate t;
    t.name = root.value("name").toString();
    t.resource = set.value("resource").toInt();
    t.title = set.value("title").toString();
    const QJsonArray size = set.value("size").toArray();
    t.size = QSize(size.at(0).toInt(), size.at(1).toInt());
    t.child = set.value("child").toBool();
    t.noClose = set.value("noclose").toBool();
    for (const auto& v : set.value("controls").toArray())
        t.controls.push_back(controlFrom(v.toObject()));
    t.menuBar = menuFrom(set.value("menuBar").toArray());
    t.contextMenu = menuFrom(set.value("contextMenu").toArray());
    return t;
}

}  // namespace lapdex::ui
