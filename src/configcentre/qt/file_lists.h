// The ROM browser's lists: the directory list (the folders above the current one, the current
// one and its sub-folders; a double click or Enter opens a folder) and the file list (the
// files of one folder whose names match a pattern such as "*.BIN;*.GBA", in any letter case).
#pragma once

#include <QListWidget>
#include <QString>

class DirList : public QListWidget {
    Q_OBJECT

  public:
    explicit DirList(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // Shows path; false (and no change) when it is not a readable folder.
    bool setPath(const QString& path);

  signals:
    // Dir1_Change: the path changed.
    void pathChanged(const QString& path);

  private:
    void openItem(QListWidgetItem* item);
    void addFolder(const QString& name, const QString& path, int depth);

    QString path_;
};

class FileList : public QListWidget {
    Q_OBJECT

  public:
    explicit FileList(QWidget* parent = nullptr);

    QString path() const { return path_; }
    void setPath(const QString& path);
    QString pattern() const { return pattern_; }
    void setPattern(const QString& pattern);
    // The chosen file's name, empty when none is chosen.
    QString fileName() const;
    // Lists the folder again.
    void refresh();

  signals:
    // File1_Click: the user chose a file (by mouse or keyboard).
    void fileChosen();

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QString path_;
    QString pattern_;
    bool refreshing_ = false;
};
