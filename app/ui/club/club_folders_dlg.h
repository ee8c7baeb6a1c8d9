// The club folders dialog (Settings → Club folders): the other PCs' data folders read here, their
// labels, and the label of this PC.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "club_run_source.h"

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace lapdex::ui {

class ClubLink;

class ClubFoldersDlg : public QDialog {
    Q_OBJECT
  public:
    // Shows what `link` keeps; OK saves the changes through it (they take effect at once).
    explicit ClubFoldersDlg(ClubLink& link, QWidget* parent = nullptr);

    // Asks for a folder and adds it, unless it is refused (a message says why).
    void addFolder();
    // Adds `path` as a club folder with its default label; false (after the message) when it is
    // this PC's own data folder, already listed, or holds no Lapdex.dat.
    bool addPath(const QString& path);
    // Starts editing the label of the selected folder.
    void editLabel();
    void removeFolder();

    const std::vector<ClubFolder>& folders() const { return folders_; }
    QTableWidget* table() const { return table_; }
    QLineEdit* ownLabelField() const { return ownLabel_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* editButton() const { return edit_; }
    QPushButton* removeButton() const { return remove_; }
    QDialogButtonBox* buttons() const { return buttons_; }

  public slots:
    void accept() override;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    // Why `path` cannot be added, or nullopt when it can.
    std::optional<QString> refusal(const QString& path) const;
    void labelEdited(QTableWidgetItem* item);
    void fillTable();
    void selectionChanged();
    void applyTexts();

    ClubLink& link_;
    std::vector<ClubFolder> folders_;
    QLabel* intro_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* remove_ = nullptr;
    QLabel* ownLabelName_ = nullptr;
    QLineEdit* ownLabel_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    bool filling_ = false;  // the program, not the user, is filling the table
};

}  // namespace lapdex::ui
