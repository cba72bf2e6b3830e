// The ROM browser's lists: the directory list (the folders from the root down to the current
// one, then its sub-folders; a double click or Enter opens a folder) and the file list (the
// names of the files to choose from). What they hold comes from the core's folder listing.
#pragma once

#include <QListWidget>
#include <QString>

#include <string>
#include <vector>

class DirList : public QListWidget {
    Q_OBJECT

  public:
    explicit DirList(QWidget* parent = nullptr);

    // chain: the folders from the root down to the shown one; subfolders: its folders' names.
    void showFolders(const std::vector<std::string>& chain,
                     const std::vector<std::string>& subfolders);

  signals:
    // Dir1_Change: the user opened the folder at path.
    void folderOpened(const QString& path);
};

class FileList : public QListWidget {
    Q_OBJECT

  public:
    explicit FileList(QWidget* parent = nullptr);

    // Shows the names without choosing one.
    void showFiles(const QStringList& names);
    // Marks name as the chosen file without raising fileChosen; false when it is not listed.
    bool markChosen(const QString& name);
    // The chosen file's name, empty when none is chosen.
    QString fileName() const;

  signals:
    // File1_Click: the user chose a file (by mouse or keyboard).
    void fileChosen();

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    bool quiet_ = false;
};
