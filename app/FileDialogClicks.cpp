#include "app/FileDialogClicks.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QPointer>

namespace {

// Holds a double-click on an item back until its release.
class ReleaseActivation : public QObject {
  public:
    explicit ReleaseActivation(QAbstractItemView* view) : QObject(view), view_(view) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonDblClick &&
            event->type() != QEvent::MouseButtonRelease)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) return false;
        const QModelIndex index = view_->indexAt(mouse->position().toPoint());
        if (event->type() == QEvent::MouseButtonDblClick) {
            if (!index.isValid()) return false;
            pending_ = index; // the view neither activates nor hides the dialog now
            return true;
        }
        // The release: the view finishes it first, then the item is activated
        // (the dialog enters the folder, or accepts the file).
        const QPersistentModelIndex held = pending_;
        pending_ = QPersistentModelIndex();
        if (!held.isValid() || held != QPersistentModelIndex(index)) return false;
        QPointer<QAbstractItemView> view = view_;
        QMetaObject::invokeMethod(
            view_,
            [view, held] {
                if (view && held.isValid()) emit view->activated(held);
            },
            Qt::QueuedConnection);
        Q_UNUSED(watched);
        return false;
    }

  private:
    QAbstractItemView* view_;
    QPersistentModelIndex pending_;
};

// Qt makes the dialog's widgets when it is first shown: the views are looked
// for then.
class ViewFinder : public QObject {
  public:
    explicit ViewFinder(QFileDialog* dialog) : QObject(dialog), dialog_(dialog) {}
    void install() {
        // The file list in its two views ("listView" and "treeView" in Qt's dialog).
        for (QAbstractItemView* view : dialog_->findChildren<QAbstractItemView*>()) {
            const QString name = view->objectName();
            if (name != QLatin1String("listView") && name != QLatin1String("treeView")) continue;
            if (view->property(Installed).toBool()) continue;
            view->setProperty(Installed, true);
            view->viewport()->installEventFilter(new ReleaseActivation(view));
        }
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) install();
        return false;
    }

  private:
    static constexpr const char* Installed = "korvantaReleaseActivation";
    QFileDialog* dialog_;
};

} // namespace

void FinishDoubleClicksOnRelease(QFileDialog* dialog) {
    auto* finder = new ViewFinder(dialog);
    dialog->installEventFilter(finder);
    finder->install();
}
