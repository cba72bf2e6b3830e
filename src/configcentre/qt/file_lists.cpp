#include "configcentre/file_lists.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>

namespace {

constexpr int pathRole = Qt::UserRole;

} // namespace

DirList::DirList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemActivated, this, &DirList::openItem);
}

void DirList::openItem(QListWidgetItem* item) {
    setPath(item->data(pathRole).toString());
}

void DirList::addFolder(const QString& name, const QString& path, int depth) {
    auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, this);
    item->setData(pathRole, path);
}

bool DirList::setPath(const QString& path) {
    QDir folder(path);
    if (!folder.exists() || !folder.isReadable()) {
        return false;
    }
    path_ = folder.absolutePath();
    clear();
    QStringList above;
    for (QDir up(path_); !up.isRoot(); up.cdUp()) {
        above.prepend(up.absolutePath());
    }
    addFolder(QDir::rootPath(), QDir::rootPath(), 0);
    for (int i = 0; i < above.size(); ++i) {
        addFolder(QFileInfo(above[i]).fileName(), above[i], i + 1);
    }
    setCurrentRow(count() - 1);
    const QStringList subfolders =
        folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subfolders) {
        addFolder(name, folder.filePath(name), static_cast<int>(above.size()) + 1);
    }
    emit pathChanged(path_);
    return true;
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item && !refreshing_) {
            emit fileChosen();
        }
    });
}

// A click on the file that is already chosen chooses it again, as a click on another file does
// through currentItemChanged.
void FileList::mousePressEvent(QMouseEvent* event) {
    QListWidgetItem* before = currentItem();
    QListWidget::mousePressEvent(event);
    if (before && before == currentItem() && before == itemAt(event->pos())) {
        emit fileChosen();
    }
}

void FileList::setPath(const QString& path) {
    path_ = path;
    refresh();
}

void FileList::setPattern(const QString& pattern) {
    pattern_ = pattern;
    refresh();
}

QString FileList::fileName() const {
    QListWidgetItem* item = currentItem();
    return item ? item->text() : QString();
}

void FileList::refresh() {
    refreshing_ = true;
    clear();
    if (!path_.isEmpty()) {
        // Without QDir::CaseSensitive the name filters match in any letter case.
        QDir folder(path_, QString(), QDir::Name | QDir::IgnoreCase, QDir::Files);
        folder.setNameFilters(pattern_.split(QLatin1Char(';'), Qt::SkipEmptyParts));
        addItems(folder.entryList());
    }
    setCurrentRow(-1);
    refreshing_ = false;
}
