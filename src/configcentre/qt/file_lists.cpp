#include "configcentre/qt/file_lists.h"

#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>

#include "configcentre/core/file_access.h"

namespace {

constexpr int pathRole = Qt::UserRole;

QString localPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

void addFolder(QListWidget* list, const QString& name, const QString& path, int depth) {
    auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, list);
    item->setData(pathRole, path);
}

} // namespace

DirList::DirList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { emit folderOpened(item->data(pathRole).toString()); });
}

void DirList::showFolders(const std::vector<std::string>& chain,
                          const std::vector<std::string>& subfolders) {
    clear();
    int depth = 0;
    for (const std::string& folder : chain) {
        const QString path = localPath(folder);
        const QString name = QFileInfo(path).fileName();
        addFolder(this, name.isEmpty() ? path : name, path, depth++);
    }
    setCurrentRow(count() - 1);
    for (const std::string& name : subfolders) {
        addFolder(this, localPath(name), localPath(joinPath(chain.back(), name)), depth);
    }
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item && !quiet_) {
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

void FileList::showFiles(const QStringList& names) {
    quiet_ = true;
    clear();
    addItems(names);
    setCurrentRow(-1);
    quiet_ = false;
}

bool FileList::markChosen(const QString& name) {
    const QList<QListWidgetItem*> found = findItems(name, Qt::MatchExactly);
    quiet_ = true;
    setCurrentItem(found.isEmpty() ? nullptr : found.front());
    quiet_ = false;
    return !found.isEmpty();
}

QString FileList::fileName() const {
    QListWidgetItem* item = currentItem();
    return item ? item->text() : QString();
}
