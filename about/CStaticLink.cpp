#include "CStaticLink.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QPicture>
#include <QPixmap>
#include <QUrl>

CStaticLink::CStaticLink(const QString& text, bool deleteOnDestroy, QWidget* parent)
    : QLabel(parent), m_strLink(text), m_crText(s_crUnvisited), m_bDeleteOnDestroy(deleteOnDestroy)
{
    setCursor(Qt::PointingHandCursor);
    // Closing is the Qt counterpart of destroying the control's window.
    if (m_bDeleteOnDestroy)
    {
        setAttribute(Qt::WA_DeleteOnClose);
    }
}

CStaticLink::~CStaticLink() = default;

bool CStaticLink::ShowsText() const
{
    return pixmap().isNull() && picture().isNull() && movie() == nullptr;
}

// Underlined font and link colour, for text labels only: a label showing a picture is coloured
// like any other child of its parent.
void CStaticLink::CtlColor()
{
    if (!ShowsText())
    {
        return;
    }
    if (!m_fontUnderline)
    {
        QFont underlined = font();
        underlined.setUnderline(true);
        m_fontUnderline = underlined;
        setFont(underlined);
    }
    const QColor colour(m_crText);
    if (palette().color(QPalette::WindowText) != colour ||
        !palette().isBrushSet(QPalette::Active, QPalette::WindowText))
    {
        // Only the text colour is ours; every other role still comes from the parent.
        QPalette own;
        own.setColor(QPalette::WindowText, colour);
        setPalette(own);
    }
}

bool CStaticLink::event(QEvent* e)
{
    const bool handled = QLabel::event(e);
    if (e->type() == QEvent::Polish)
    {
        CtlColor();
    }
    return handled;
}

void CStaticLink::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
    {
        QLabel::mousePressEvent(e);
        return;
    }
    e->accept();
    OnLButtonDown();
}

void CStaticLink::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
    {
        QLabel::mouseDoubleClickEvent(e);
        return;
    }
    e->accept();
}

void CStaticLink::OnLButtonDown()
{
    if (m_strLink.isEmpty())
    {
        m_strLink = text();
    }
    if (m_strLink.isEmpty())
    {
        return;
    }
    if (QDesktopServices::openUrl(QUrl::fromUserInput(m_strLink)))
    {
        m_crText = s_crVisited;
        CtlColor();
        update();
        emit linkOpened(m_strLink);
        return;
    }
    // Colour and target stay as they are, so the next click tries again.
    QApplication::beep();
    emit linkFailed(m_strLink);
}
