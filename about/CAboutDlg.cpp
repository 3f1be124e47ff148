#include "CAboutDlg.h"

#include <QApplication>
#include <QColor>
#include <QFocusEvent>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>
#include <cmath>

namespace
{

// White with black text whatever the desktop's colours; buttons keep a light face.
QPalette WhitePalette()
{
    QPalette white(QColor(240, 240, 240), QColor(Qt::white));
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Base})
    {
        white.setColor(QPalette::Active, role, Qt::white);
        white.setColor(QPalette::Inactive, role, Qt::white);
    }
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    {
        white.setColor(QPalette::Active, role, Qt::black);
        white.setColor(QPalette::Inactive, role, Qt::black);
    }
    return white;
}

// The desktop's sans face at the pixel height an 8-point font has at 96 dots per inch; in pixels
// rather than points so that it keeps fitting the pixel layout on any logical resolution.
QFont DialogFont()
{
    QFont font = QApplication::font();
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

int ScaleUnits(int units, int base, int divisor)
{
    return static_cast<int>(std::lround(static_cast<double>(units) * base / divisor));
}

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_strDescription(QString::fromLatin1(kDescription)), m_wndLink(QString(), false)
{
    setModal(true);
    setPalette(WhitePalette());
    setFont(DialogFont());
    const QSize client = MapDialogRect(QRect(0, 0, kWidthUnits, kHeightUnits)).size();
    setFixedSize(client + QSize(2 * kBorder, 2 * kBorder));

    // Created in this order so that stacking and tab order follow the layout's control order.
    AddStatic(QStringLiteral("Daviz"), QRect(107, 7, 120, 8), "name");
    AddStatic(QString::fromUtf8(DAVIZ_COPYRIGHT), QRect(107, 35, 160, 8), "copyright");

    m_pOk = new QPushButton(QStringLiteral("OK"), this);
    m_pOk->setObjectName(QStringLiteral("ok"));
    m_pOk->setDefault(true);
    m_pOk->setAutoDefault(true);
    Place(m_pOk, QRect(217, 108, 50, 14));
    connect(m_pOk, &QPushButton::clicked, this, &CAboutDlg::accept);

    AddStatic(QStringLiteral("Version ") + QStringLiteral(DAVIZ_VERSION_STRING),
              QRect(107, 21, 120, 8), "version");

    m_wndLink.setParent(this);
    m_wndLink.setObjectName(QStringLiteral("link"));
    m_wndLink.setTextFormat(Qt::PlainText);
    m_wndLink.setText(QStringLiteral(DAVIZ_HOMEPAGE));
    m_wndLink.setAlignment(Qt::AlignCenter);
    Place(&m_wndLink, QRect(107, 108, 95, 14));

    m_pEdit = new QPlainTextEdit(this);
    m_pEdit->setObjectName(QStringLiteral("description"));
    m_pEdit->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_pEdit->setLineWidth(1);
    m_pEdit->document()->setDocumentMargin(2);
    m_pEdit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_pEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pEdit->setTabChangesFocus(true);
    m_pEdit->installEventFilter(this);
    Place(m_pEdit, QRect(107, 50, 160, 38));

    AddStatic(QStringLiteral("Click OK to continue"), QRect(107, 95, 120, 8), "prompt");

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QPixmap emblem(QString::fromLatin1(kEmblemResource));
    if (!emblem.isNull())
    {
        picture->setPixmap(emblem);
    }
    Place(picture, QRect(7, 7, 96, 89));

    setTabOrder(m_pOk, m_pEdit);
    m_pOk->setFocus();
    DoDataExchange(false);
}

CAboutDlg::~CAboutDlg() = default;

QRect CAboutDlg::MapDialogRect(const QRect& units)
{
    // The edges are converted, not the sizes, so neighbouring controls still meet.
    const QPoint topLeft(ScaleUnits(units.left(), kBaseUnitX, 4),
                         ScaleUnits(units.top(), kBaseUnitY, 8));
    const QPoint bottomRight(ScaleUnits(units.left() + units.width(), kBaseUnitX, 4),
                             ScaleUnits(units.top() + units.height(), kBaseUnitY, 8));
    return QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
}

QLabel* CAboutDlg::AddStatic(const QString& text, const QRect& units, const char* name)
{
    auto* label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    Place(label, units);
    return label;
}

void CAboutDlg::Place(QWidget* control, const QRect& units)
{
    control->setGeometry(MapDialogRect(units).translated(kBorder, kBorder));
}

void CAboutDlg::DoDataExchange(bool bSaveAndValidate)
{
    if (bSaveAndValidate)
    {
        m_strDescription = m_pEdit->toPlainText();
    }
    else
    {
        m_pEdit->setPlainText(m_strDescription);
    }
}

void CAboutDlg::accept()
{
    DoDataExchange(true);
    QDialog::accept();
}

void CAboutDlg::showEvent(QShowEvent* e)
{
    if (!e->spontaneous())
    {
        DoDataExchange(false);
        CenterWindow();
    }
    QDialog::showEvent(e);
}

// Qt's own placement allows for a title bar this box does not have; centre it over the owner's
// whole window instead, kept on the owner's screen.
void CAboutDlg::CenterWindow()
{
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    if (owner == nullptr || !owner->isVisible())
    {
        return;
    }
    const QRect area = owner->frameGeometry();
    const QSize box = frameGeometry().size();
    int x = area.x() + (area.width() - box.width()) / 2;
    int y = area.y() + (area.height() - box.height()) / 2;
    if (const QScreen* screen = owner->screen())
    {
        const QRect avail = screen->availableGeometry();
        x = std::max(avail.left(), std::min(x, avail.right() + 1 - box.width()));
        y = std::max(avail.top(), std::min(y, avail.bottom() + 1 - box.height()));
    }
    move(x, y);
}

void CAboutDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// A multi-line edit in a dialog lets Enter press the default button (Ctrl+Enter starts a new
// line) and selects its text when tabbed into.
bool CAboutDlg::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_pEdit && e->type() == QEvent::KeyPress)
    {
        const auto* key = static_cast<QKeyEvent*>(e);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        {
            if (mods == Qt::NoModifier)
            {
                m_pOk->click();
                return true;
            }
            if (mods == Qt::ControlModifier)
            {
                m_pEdit->insertPlainText(QStringLiteral("\n"));
                return true;
            }
        }
    }
    else if (watched == m_pEdit && e->type() == QEvent::FocusIn)
    {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
        {
            m_pEdit->selectAll();
        }
    }
    return QDialog::eventFilter(watched, e);
}
