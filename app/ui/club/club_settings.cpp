#include "club_settings.h"

#include <set>

#include "club_texts.h"

namespace lapdex::ui {

std::vector<ClubFolder> loadClubFolders(QSettings& settings) {
    std::vector<ClubFolder> folders;
    std::set<std::string> labels;
    const int count = settings.beginReadArray(QString::fromLatin1(kClubFoldersKey));
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        const std::string path = settings.value(QStringLiteral("path")).toString().toStdString();
        if (path.empty()) continue;
        std::string label =
            settings.value(QStringLiteral("label")).toString().trimmed().toStdString();
        if (label.empty()) label = defaultClubLabel(path);
        // Rows are told apart by label, so two folders never share one.
        std::string unique = label;
        for (int n = 2; labels.count(unique) != 0; ++n)
            unique = label + " (" + std::to_string(n) + ")";
        labels.insert(unique);
        folders.push_back({path, unique});
    }
    settings.endArray();
    return folders;
}

void saveClubFolders(QSettings& settings, const std::vector<ClubFolder>& folders) {
    settings.remove(QString::fromLatin1(kClubFoldersKey));
    settings.beginWriteArray(QString::fromLatin1(kClubFoldersKey),
                             static_cast<int>(folders.size()));
    for (std::size_t i = 0; i < folders.size(); ++i) {
        settings.setArrayIndex(static_cast<int>(i));
        settings.setValue(QStringLiteral("path"), QString::fromStdString(folders[i].path));
        settings.setValue(QStringLiteral("label"), QString::fromStdString(folders[i].label));
    }
    settings.endArray();
}

QString ownPcLabel(QSettings& settings) {
    const QString label =
        settings.value(QString::fromLatin1(kClubOwnLabelKey)).toString().trimmed();
    return label.isEmpty() ? localized(club_text::kThisPc) : label;
}

void saveOwnPcLabel(QSettings& settings, const QString& label) {
    if (label.trimmed().isEmpty())
        settings.remove(QString::fromLatin1(kClubOwnLabelKey));
    else
        settings.setValue(QString::fromLatin1(kClubOwnLabelKey), label.trimmed());
}

QString pcText(const std::string& pc, const QString& ownLabel) {
    return pc.empty() ? ownLabel : QString::fromStdString(pc);
}

}  // namespace lapdex::ui
