#include "CChildView.h"

#include "CAnimator.h"
#include "CCuePlayer.h"
#include "DataFiles.h"
#include "ErrorText.h"
#include "StringTable.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

namespace
{
constexpr int kBoardX = 15;
constexpr int kBoardY = 20;
const QColor kTextColour(240, 240, 240);
} // namespace

CChildView::CChildView(QWidget* parent)
    : QFrame(parent), m_bSounds(true), m_bGameOverShown(false), m_bCreated(false),
      m_bOffscreen(true), m_nFrameMilliseconds(CAnimator::kFrameMilliseconds),
      m_pfnShowError(&CChildView::ShowErrorBox),
      m_cuePlayer(std::make_unique<CCuePlayer>(StringTable::kAppName)),
      m_pCuePlayer(m_cuePlayer.get()), m_bCuesQueued(false)
{
    FormatScore(0, 0);

    // A sunken edge around the client area, as a window with a client edge has.
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    // Every pixel comes from painting: nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);

    // Where a face is missing, a close sans face at the same size stands in.
    m_fontScore.setFamilies({"Tahoma", "DejaVu Sans", "Liberation Sans", "Arial", "Sans Serif"});
    m_fontScore.setPointSize(15);
    m_fontGameOver.setFamilies(
        {"Arial Black", "DejaVu Sans", "Liberation Sans", "Arial", "Sans Serif"});
    m_fontGameOver.setPointSize(36);
    m_fontGameOver.setWeight(QFont::Black);
}

CChildView::~CChildView() = default;

void CChildView::PreCreateWindow()
{
    if (m_bCreated)
    {
        return;
    }
    m_bCreated = true;
    const std::uint32_t code = m_boardImage.Load();
    if (code != 0 && m_pfnShowError != nullptr)
    {
        m_pfnShowError(LoadErrorText(code, m_boardImage.FailedFile()));
    }
    // The screen's ratio before the first compose, so only the set shown is prepared.
    m_boardImage.SetDeviceRatio(devicePixelRatioF());
    m_game.NewGame();
    m_boardImage.Compose(m_game);
}

void CChildView::showEvent(QShowEvent* event)
{
    PreCreateWindow();
    QFrame::showEvent(event);
}

void CChildView::ShowErrorBox(const QString& text)
{
    QMessageBox box(QMessageBox::Information, QString::fromUtf8(StringTable::kErrorCaption), text,
                    QMessageBox::Ok);
    box.exec();
}

QString CChildView::LoadErrorText(std::uint32_t code, const char* failedFile)
{
    QString text = QString::fromStdString(ErrorText(code));
    // Name the file and the folder, so a player who started the game elsewhere knows why.
    if (failedFile != nullptr && *failedFile != '\0')
    {
        text += QString::fromUtf8("\n\nFile: %1").arg(QString::fromUtf8(failedFile));
    }
    text += QString::fromUtf8("\nFolder searched: %1")
                .arg(QDir::toNativeSeparators(QDir::currentPath()));
    text += QString::fromUtf8("\n\nThe game looks for its pictures and sounds in the folder it "
                              "is started from. It goes on without the board picture.");
    return text;
}

void CChildView::SetCuePlayer(ICuePlayer* player)
{
    m_pCuePlayer = player != nullptr ? player : m_cuePlayer.get();
}

void CChildView::FormatScore(std::int32_t totalScore, std::int32_t groupScore)
{
    m_strScore = QString::asprintf(StringTable::kScoreFormat, static_cast<int>(totalScore),
                                   static_cast<int>(groupScore));
}

void CChildView::LoadCues()
{
    // Loaded ahead so the first click is heard.
    for (const char* name : kCueFiles)
    {
        m_cuePlayer->Preload(name);
    }
}

void CChildView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
    {
        return;
    }
    // Kept fractional: at a device pixel ratio above 1 a logical pixel spans several cell-map
    // pixels.
    const QPointF point = event->position();
    if (!QRectF(contentsRect()).contains(point))
    {
        return;
    }
    OnLButtonDown(point - QPointF(ClientOrigin()));
}

void CChildView::OnLButtonDown(QPointF point)
{
    CAnimator animator(this, m_bSounds, m_game, m_boardImage, m_pCuePlayer, m_nFrameMilliseconds);
    const std::uint32_t result = m_boardImage.Click(point.x(), point.y(), m_game, &animator);
    if (result == ResultGameOver)
    {
        m_bGameOverShown = true;
    }
    FormatScore(m_game.totalScore, m_game.groupScore);
    repaint();
    emit CommandStateChanged();
}

void CChildView::OnNewGame()
{
    m_game.NewGame();
    m_boardImage.Compose(m_game);
    FormatScore(0, 0);
    m_bGameOverShown = false;
    repaint();
    emit CommandStateChanged();
}

void CChildView::OnToggleSounds()
{
    m_bSounds = !m_bSounds;
    emit CommandStateChanged();
}

void CChildView::OnUpdateToggleSounds(QAction* cmdUI) const
{
    cmdUI->setCheckable(true);
    cmdUI->setChecked(m_bSounds);
}

void CChildView::OnUndo()
{
    if (!m_game.CanUndo() || m_bGameOverShown)
    {
        return;
    }
    m_game.Undo();
    m_boardImage.Compose(m_game);
    FormatScore(m_game.totalScore, m_game.groupScore);
    repaint();
    emit CommandStateChanged();
}

void CChildView::OnUpdateUndo(QAction* cmdUI) const
{
    // Only the history decides: after the end the item stays enabled and the command is refused.
    cmdUI->setEnabled(m_game.CanUndo());
}

void CChildView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter screen(this);
    OnPaint(screen);
    drawFrame(&screen);

    if (!m_bCuesQueued)
    {
        // After the first frame is up: loading the cues must not hold back the first picture.
        m_bCuesQueued = true;
        QTimer::singleShot(0, this, &CChildView::LoadCues);
    }
}

void CChildView::OnPaint(QPainter& dc)
{
    const QRect client(QPoint(0, 0), contentsRect().size());
    // The ratio of the screen the view is on now: moving the window may change it.
    const qreal ratio = dc.device() != nullptr ? dc.device()->devicePixelRatioF() : 1.0;
    m_boardImage.SetDeviceRatio(ratio);
    if (m_bOffscreen)
    {
        // At the device's resolution, so text and board keep their detail.
        QImage offscreen((QSizeF(client.size()) * ratio).toSize(), QImage::Format_RGB32);
        offscreen.setDevicePixelRatio(ratio);
        if (!offscreen.isNull())
        {
            QPainter memory(&offscreen);
            PaintLayers(memory, client);
            memory.end();
            dc.drawImage(ClientOrigin(), offscreen);
            return;
        }
    }
    // Without an off-screen picture the same layers go straight onto the widget.
    dc.save();
    dc.translate(ClientOrigin());
    dc.setClipRect(client);
    PaintLayers(dc, client);
    dc.restore();
}

void CChildView::PaintLayers(QPainter& dc, const QRect& client)
{
    dc.fillRect(client, Qt::black);
    m_boardImage.Draw(kBoardX, kBoardY, dc);

    dc.setPen(kTextColour);
    dc.setBackgroundMode(Qt::TransparentMode);
    dc.setFont(m_fontScore);
    dc.drawText(client, Qt::AlignBottom | Qt::AlignHCenter | Qt::TextSingleLine, m_strScore);
    if (m_bGameOverShown)
    {
        dc.setFont(m_fontGameOver);
        dc.drawText(client, Qt::AlignCenter | Qt::TextSingleLine,
                    QString::fromUtf8(StringTable::kGameOver));
    }
}
