// A text label that opens its web address in the user's browser when clicked.
#pragma once

#include <QLabel>
#include <QString>

#include <functional>

class Platform;

class TLabelUrl : public QLabel {
    Q_OBJECT
  public:
    // The address is opened through the platform's "open a document or web
    // page" service.
    explicit TLabelUrl(Platform& platform, QWidget* parent = nullptr);

    // The address to open. Setting it also makes it the caption.
    QString Url() const { return url_; }
    void SetUrl(const QString& url);

    // Called on a click (with the label) before the address is opened.
    std::function<void(TLabelUrl* sender)> OnClick;

    // A click: OnClick, then the address goes to the platform, whatever it answers.
    void Click();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    Platform& platform_;
    QString url_;
};
