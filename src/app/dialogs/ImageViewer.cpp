#include "app/dialogs/ImageViewer.h"

#include "app/dialogs/WindowMessages.h"
#include "capture/CaptureFolder.h"
#include "capture/PictureFile.h"
#include "core/DesktopShell.h"
#include "storage/Settings.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QIdentityProxyModel>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

// The parent-folder entry reads " Up one level".
class EntryNames : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DisplayRole && index.column() == 0 &&
            QIdentityProxyModel::data(index, role).toString() == QLatin1String(".."))
            return QStringLiteral(" Up one level");
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

ImageViewer::ImageViewer(const Settings& settings, QString programFolder, DesktopShell& shell,
                         WindowMessages& messages, QWidget* parent)
    : QDialog(parent), settings_(settings), programFolder_(std::move(programFolder)), shell_(shell),
      messages_(messages), actions_(shell, messages, [this](const QString& question) {
          return messages_.confirm(question, mapToGlobal(QPoint(40, 40)));
      }) {
    setObjectName(QStringLiteral("ImageViewer"));
    setWindowTitle(QStringLiteral("Lintrove - Image Viewer"));
    setMinimumSize(875, 560);
    resize(875, 560);

    Combo = new QComboBox;
    Combo->setObjectName(QStringLiteral("Combo"));
    Combo->setFixedWidth(277);
    Combo->setEditable(false);
    Combo->setMaxVisibleItems(14);

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDot | QDir::Hidden | QDir::System);
    model_->setNameFilters({QStringLiteral("*.jpg")});
    model_->setNameFilterDisables(false);
    model_->setReadOnly(true);
    names_ = new EntryNames(this);
    names_->setSourceModel(model_);

    imageListBox = new QListView;
    imageListBox->setObjectName(QStringLiteral("imageListBox"));
    imageListBox->setModel(names_);
    imageListBox->setFixedWidth(277);
    imageListBox->setMinimumHeight(405);
    imageListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    imageListBox->setMouseTracking(true);
    imageListBox->installEventFilter(this);

    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1 = new QScrollArea;
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    ScrollBox1->setWidget(Image1);
    ScrollBox1->setWidgetResizable(false);

    StatusBar1 = new QStatusBar;
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);

    auto* left = new QVBoxLayout;
    left->addWidget(Combo);
    left->addWidget(imageListBox, 1);
    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addWidget(ScrollBox1, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 0);
    outer->addLayout(body, 1);
    outer->addWidget(StatusBar1);

    connect(imageListBox->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                imageListBoxItemChange(
                    current.isValid() ? model_->filePath(names_->mapToSource(current)) : QString());
            });
    connect(imageListBox, &QListView::activated, this, [this](const QModelIndex& index) {
        openEntry(model_->filePath(names_->mapToSource(index)));
    });
    connect(Combo, &QComboBox::activated, this,
            [this](int i) { setDirectory(Combo->itemData(i).toString()); });

    setDirectory(CaptureFolder::resolve(settings_.Capture, programFolder_));
}

void ImageViewer::setDirectory(const QString& folder) {
    const QString wanted =
        folder.isEmpty() ? QDir::rootPath() : QDir::cleanPath(QDir(folder).absolutePath());
    const QString dir = nearestExistingFolder(wanted);
    directory_ = dir;
    const QModelIndex root = model_->setRootPath(dir);
    imageListBox->setRootIndex(names_->mapFromSource(root));
    imageListBox->clearSelection();
    imageListBox->setCurrentIndex(QModelIndex());
    fillFolderList();
    if (dir != wanted)
        StatusBar1->showMessage(
            QStringLiteral("The folder %1 does not exist: showing %2").arg(wanted, dir));
    else
        StatusBar1->clearMessage();
}

QString ImageViewer::nearestExistingFolder(const QString& folder) {
    // Walks up by name: QDir::cdUp() refuses to leave for a parent that does not exist, so a
    // loop on it never reaches the root.
    QString path = QDir::cleanPath(QDir(folder).absolutePath());
    while (!QFileInfo(path).isDir()) {
        const QString up = QFileInfo(path).absolutePath();
        if (up == path)
            return QDir::rootPath();
        path = up;
    }
    return path;
}

void ImageViewer::fillFolderList() {
    // The folder and its ancestors, indented by depth, with the capture folder first.
    Combo->clear();
    const QString capture = CaptureFolder::resolve(settings_.Capture, programFolder_);
    if (!capture.isEmpty() && capture != directory_)
        Combo->addItem(capture, capture);
    QStringList chain;
    for (QString path = directory_;;) {
        chain.prepend(path);
        const QString up = QFileInfo(path).absolutePath();
        if (up == path)
            break;
        path = up;
    }
    for (int depth = 0; depth < chain.size(); ++depth) {
        const QString name = depth == 0 ? chain[depth] : QFileInfo(chain[depth]).fileName();
        Combo->addItem(QString(depth * 2, QLatin1Char(' ')) + name, chain[depth]);
    }
    Combo->setCurrentIndex(Combo->count() - 1);
}

QString ImageViewer::selectedPath() const {
    const QModelIndex current = imageListBox->currentIndex();
    if (!current.isValid() || !imageListBox->selectionModel()->isSelected(current))
        return {};
    return model_->filePath(names_->mapToSource(current));
}

void ImageViewer::selectPath(const QString& path) {
    const QModelIndex index = names_->mapFromSource(model_->index(path));
    imageListBox->setCurrentIndex(index);
    imageListBoxItemChange(path);
}

QStringList ImageViewer::selectedPaths() const {
    QStringList paths;
    for (const QModelIndex& index : imageListBox->selectionModel()->selectedIndexes()) {
        const QString path = model_->filePath(names_->mapToSource(index));
        if (QFileInfo(path).fileName() != QLatin1String(".."))
            paths << path;
    }
    return paths;
}

QString ImageViewer::statusText() const {
    return StatusBar1->currentMessage();
}

void ImageViewer::clearPicture() {
    picture_ = QImage();
    Image1->clear();
    Image1->resize(0, 0);
}

void ImageViewer::showPicture(const QString& path) {
    if (!path.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive))
        return;
    // A damaged, huge or special file keeps the previous picture.
    const QImage image = PictureFile::read(path);
    if (image.isNull())
        return;
    picture_ = image;
    Image1->setPixmap(QPixmap::fromImage(image));
    Image1->resize(image.size());
}

void ImageViewer::imageListBoxItemChange(const QString& path) {
    if (path.isEmpty()) {
        clearPicture();
        return;
    }
    StatusBar1->showMessage(path);
    if (QFileInfo(path).isDir())
        return;
    showPicture(path);
}

void ImageViewer::refresh() {
    // QFileSystemModel watches the folder; a fresh root makes it read it anew.
    const QString dir = directory_;
    const QString selected = selectedPath();
    model_->setRootPath(QString());
    setDirectory(dir);
    if (!selected.isEmpty() && QFileInfo::exists(selected))
        imageListBox->setCurrentIndex(names_->mapFromSource(model_->index(selected)));
    else
        clearPicture();
}

void ImageViewer::showEvent(QShowEvent* event) {
    setDirectory(CaptureFolder::resolve(settings_.Capture, programFolder_));
    if (!selectOnOpen_.isEmpty()) {
        // A picture of another folder opens that folder, so its neighbours are there too.
        const QString folder = QFileInfo(selectOnOpen_).absolutePath();
        if (folder != directory_)
            setDirectory(folder);
        selectPath(selectOnOpen_);
        imageListBox->scrollTo(imageListBox->currentIndex());
        selectOnOpen_.clear();
    }
    if (selectedPath().isEmpty())
        clearPicture();
    QDialog::showEvent(event);
}

void ImageViewer::openEntry(const QString& path) {
    const QFileInfo info(path);
    if (info.fileName() == QLatin1String("..")) {
        setDirectory(QFileInfo(directory_).absolutePath());
    } else if (info.isDir()) {
        setDirectory(info.absoluteFilePath());
    } else {
        showPicture(path);
    }
}

bool ImageViewer::handleKey(QKeyEvent* key) {
    const QString current = selectedPath();
    if (key->matches(QKeySequence::Copy)) {
        actions_.copy(selectedPaths());
    } else if (key->matches(QKeySequence::Cut)) {
        actions_.cut(selectedPaths());
    } else if (key->matches(QKeySequence::Paste)) {
        actions_.paste(directory_);
    } else if (key->matches(QKeySequence::SelectAll)) {
        imageListBox->selectAll();
    } else if (key->matches(QKeySequence::Open)) {
        if (!current.isEmpty() && !shell_.open(current))
            messages_.inform(DesktopShell::openFailedText(current));
    } else if (key->matches(QKeySequence::Find) && key->key() == Qt::Key_F) {
        if (!current.isEmpty())
            openEntry(current);
    } else if (key->matches(QKeySequence::New)) {
        actions_.newFolder(directory_);
    } else if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
        for (const QString& path : selectedPaths())
            actions_.remove(path);
    } else if (key->key() == Qt::Key_Backspace && key->modifiers() == Qt::NoModifier) {
        if (!QDir(directory_).isRoot())
            setDirectory(QFileInfo(directory_).absolutePath());
    } else if (key->key() == Qt::Key_F2 && !current.isEmpty()) {
        bool ok = false;
        const QString name =
            QInputDialog::getText(this, QStringLiteral("Rename"), QStringLiteral("New name:"),
                                  QLineEdit::Normal, QFileInfo(current).fileName(), &ok);
        if (ok)
            actions_.rename(current, name);
    } else if (key->key() == Qt::Key_F5) {
        refresh();
    } else {
        return false;
    }
    return true;
}

bool ImageViewer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imageListBox && event->type() == QEvent::KeyPress &&
        handleKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}
