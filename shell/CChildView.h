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

    // How the "Error" box comes up when the board images do not load. Tests replace it so
    // that nothing waits for a click.
    using ShowErrorFn = void (*)(const QString& text);
    static ShowErrorFn s_pfnShowError;
    static void ShowErrorBox(const QString& text);

    // Off by tests to check that painting straight onto the widget gives the same picture.
    static bool s_bOffscreen;

    // The text of the "Error" box for a failed load of the board images.
    static QString LoadErrorText(std::uint32_t code, const char* failedFile);

    // Sound cues go to this player; null brings back the view's own.
    void SetCuePlayer(ICuePlayer* player);
    ICuePlayer* CuePlayer() const { return m_pCuePlayer; }

    // Top-left of the client area inside the sunken edge, in widget coordinates.
    QPoint ClientOrigin() const { return contentsRect().topLeft(); }

    // The cue files the rules may ask for; loaded ahead so the first click is heard.
    static const char* const s_cueFiles[4];

public slots:
    void OnNewGame();
    void OnToggleSounds();
    void OnUndo();

public:
    void OnUpdateToggleSounds(QAction* cmdUI) const;
    void OnUpdateUndo(QAction* cmdUI) const;

    void OnLButtonDown(QPointF point);
    void OnPaint(QPainter& dc);

signals:
    // The game or a setting changed; the menu states must be looked at again.
    void CommandStateChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void PaintLayers(QPainter& dc, const QRect& client);
    void FormatScore(std::int32_t totalScore, std::int32_t groupScore);
    void LoadCues();

public:
    CBoardImage m_boardImage;
    CGameState m_game;
    QFont m_fontScore;
    QFont m_fontGameOver;
    QString m_strScore;
    bool m_bSounds;
    bool m_bGameOverShown;

private:
    std::unique_ptr<CCuePlayer> m_cuePlayer;
    ICuePlayer* m_pCuePlayer;
    bool m_bCuesQueued;
};
