#pragma once

#include "CBoardImage.h"
#include "CGameState.h"

#include <QFont>
#include <QFrame>
#include <QString>

#include <cstdint>
#include <memory>

class CCuePlayer;
class ICuePlayer;
class QAction;

// The game view: owns the board and its picture, makes a move on each left press, carries
// New Game, Toggle Sounds and Undo, and paints board, score line and "GAME OVER".
// The sunken edge is the frame of the widget; the client area (where the board sits at
// (15, 20)) is its contents rectangle.
class CChildView : public QFrame
{
    Q_OBJECT

public:
    explicit CChildView(QWidget* parent = nullptr);
    ~CChildView() override;

    // Loads the board pictures, reporting a failure through the error box, and deals the first
    // game; once only. Showing the view calls it if nobody did before.
    void PreCreateWindow();

    // How the "Error" box comes up when the board images do not load. Tests pass one that
    // does not wait for a click; set it before the pictures load.
    using ShowErrorFn = void (*)(const QString& text);
    static void ShowErrorBox(const QString& text);
    void SetErrorBox(ShowErrorFn showError) { m_pfnShowError = showError; }

    // How long each frame of a move stays up; tests and benchmarks take 0.
    void SetFrameMilliseconds(int milliseconds) { m_nFrameMilliseconds = milliseconds; }

    // Off: the layers are painted straight onto the widget instead of through a picture.
    void SetOffscreen(bool offscreen) { m_bOffscreen = offscreen; }

    // The text of the "Error" box for a failed load of the board images.
    static QString LoadErrorText(std::uint32_t code, const char* failedFile);

    // Sound cues go to this player; null brings back the view's own.
    void SetCuePlayer(ICuePlayer* player);
    ICuePlayer* CuePlayer() const { return m_pCuePlayer; }

    // Top-left of the client area inside the sunken edge, in widget coordinates.
    QPoint ClientOrigin() const { return contentsRect().topLeft(); }

public slots:
    void OnNewGame();
    void OnToggleSounds();
    void OnUndo();

public:
    void OnUpdateToggleSounds(QAction* cmdUI) const;
    void OnUpdateUndo(QAction* cmdUI) const;

    void OnLButtonDown(QPointF point);
    void OnPaint(QPainter& dc);

    CGameState& Game() { return m_game; }
    const CGameState& Game() const { return m_game; }
    CBoardImage& BoardImage() { return m_boardImage; }
    const CBoardImage& BoardImage() const { return m_boardImage; }
    const QString& ScoreText() const { return m_strScore; }
    bool Sounds() const { return m_bSounds; }
    bool GameOverShown() const { return m_bGameOverShown; }

signals:
    // The game or a setting changed; the menu states must be looked at again.
    void CommandStateChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void PaintLayers(QPainter& dc, const QRect& client);
    void FormatScore(std::int32_t totalScore, std::int32_t groupScore);
    void LoadCues();

    CBoardImage m_boardImage;
    CGameState m_game;
    QFont m_fontScore;
    QFont m_fontGameOver;
    QString m_strScore;
    bool m_bSounds;
    bool m_bGameOverShown;
    bool m_bCreated;
    bool m_bOffscreen;
    int m_nFrameMilliseconds;
    ShowErrorFn m_pfnShowError;
    std::unique_ptr<CCuePlayer> m_cuePlayer;
    ICuePlayer* m_pCuePlayer;
    bool m_bCuesQueued;
};
