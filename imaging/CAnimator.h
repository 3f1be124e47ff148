#pragma once

#include "IAnimator.h"

class CBoardImage;
class CGameState;
class ICuePlayer;
class QWidget;

// Lives for one click: shows every settle step of the move and plays its cues.
class CAnimator : public IAnimator
{
public:
    // Each frame stays on screen for frameMilliseconds (0: no wait), composing and painting
    // included.
    CAnimator(QWidget* view, bool soundsOn, CGameState& gameState, CBoardImage& boardImage,
              ICuePlayer* cuePlayer, int frameMilliseconds = kFrameMilliseconds);
    ~CAnimator() override = default;

    void Step() override;
    void PlayCue(const char* fileName) override;

    static constexpr int kFrameMilliseconds = 10;

private:
    QWidget* m_hWndView;
    CGameState* m_pGameState;
    CBoardImage* m_pBoardImage;
    bool m_bSoundsOn;
    ICuePlayer* m_pCuePlayer;
    int m_nFrameMilliseconds;
};
