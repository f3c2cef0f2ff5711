#include "dialogs/LabelUrl.h"

#include "app/Platform.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace {

// Screen readers read the label as a link that can be pressed.
class LabelUrlAccessible : public QAccessibleWidget {
  public:
    explicit LabelUrlAccessible(TLabelUrl* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override {
        auto* label = static_cast<TLabelUrl*>(widget());
        if (t == QAccessible::Name) {
            const QString name = QAccessibleWidget::text(t);
            return name.isEmpty() ? label->text() : name;
        }
        if (t == QAccessible::Value) return label->Url();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction()) static_cast<TLabelUrl*>(widget())->Click();
    }
};

QAccessibleInterface* LabelUrlFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("TLabelUrl") && object && object->isWidgetType())
        if (auto* label = qobject_cast<TLabelUrl*>(object)) return new LabelUrlAccessible(label);
    return nullptr;
}

} // namespace

TLabelUrl::TLabelUrl(Platform& platform, QWidget* parent) : QLabel(parent), platform_(platform) {
    static const bool registered = [] {
        QAccessible::installFactory(LabelUrlFactory);
        return true;
    }();
    (void)registered;

    QPalette p = palette();
    p.setColor(QPalette::WindowText, Qt::blue);
    setPalette(p);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    setCursor(Qt::PointingHandCursor);
    setText(QStringLiteral("Http://"));
    setTextFormat(Qt::PlainText);
    // Keyboard users reach it with Tab and activate it with Enter or Space.
    setFocusPolicy(Qt::StrongFocus);
}

void TLabelUrl::SetUrl(const QString& url) {
    url_ = url;
    setText(url);
    setToolTip(url);
}

void TLabelUrl::Click() {
    if (OnClick) OnClick(this);
    platform_.openDocument(url_);
}

void TLabelUrl::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Click();
}

void TLabelUrl::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!event->isAutoRepeat()) Click();
        event->accept();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void TLabelUrl::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = contentsRect();
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}
