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
    CAnimator(QWidget* view, bool soundsOn, CGameState& gameState, CBoardImage& boardImage,
              ICuePlayer* cuePlayer);
    ~CAnimator() override = default;

    void Step() override;
    void PlayCue(const char* fileName) override;

    // How long each frame stays on screen. Tests and benchmarks set it to 0.
    static int s_nFrameMilliseconds;

private:
    QWidget* m_hWndView;
    CGameState* m_pGameState;
    CBoardImage* m_pBoardImage;
    bool m_bSoundsOn;
    ICuePlayer* m_pCuePlayer;
};
