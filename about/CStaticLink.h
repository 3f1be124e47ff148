#pragma once

#include <QFont>
#include <QLabel>
#include <QRgb>
#include <QString>

#include <optional>

class QEvent;
class QMouseEvent;

// A text label that works as a web link: underlined blue text and a hand pointer; a left click
// opens the target with the desktop's default handler and turns the text purple.
class CStaticLink : public QLabel
{
    Q_OBJECT

public:
    // text is the target; when empty, the caption becomes the target at the first click.
    // deleteOnDestroy makes the object delete itself once its window is closed: meant for a link
    // made with new that nobody owns (a parent deletes its child links anyway).
    explicit CStaticLink(const QString& text = QString(), bool deleteOnDestroy = false,
                         QWidget* parent = nullptr);
    ~CStaticLink() override;

    static constexpr QRgb s_crUnvisited = qRgb(0, 0, 255);
    static constexpr QRgb s_crVisited = qRgb(128, 0, 128);

    const QString& Link() const { return m_strLink; }
    QRgb TextColor() const { return m_crText; }
    bool DeletesOnDestroy() const { return m_bDeleteOnDestroy; }

signals:
    void linkOpened(const QString& target);
    // Emitted after the beep that reports a refused open.
    void linkFailed(const QString& target);

protected:
    bool event(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    // The second press of a quick pair: the link is already opening, so it is not opened again.
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    bool ShowsText() const;
    void CtlColor();
    void OnLButtonDown();

    QString m_strLink;
    QRgb m_crText;
    // Made from the label's font the first time it is coloured; later font changes are not
    // followed.
    std::optional<QFont> m_fontUnderline;
    bool m_bDeleteOnDestroy;
};
