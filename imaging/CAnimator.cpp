#include "CAnimator.h"

#include "CBoardImage.h"
#include "CGameState.h"
#include "ICuePlayer.h"

#include <QWidget>

#include <chrono>
#include <thread>

CAnimator::CAnimator(QWidget* view, bool soundsOn, CGameState& gameState, CBoardImage& boardImage,
                     ICuePlayer* cuePlayer, int frameMilliseconds)
    : m_hWndView(view), m_pGameState(&gameState), m_pBoardImage(&boardImage), m_bSoundsOn(soundsOn),
      m_pCuePlayer(cuePlayer), m_nFrameMilliseconds(frameMilliseconds)
{
}

void CAnimator::Step()
{
    const auto start = std::chrono::steady_clock::now();
    m_pBoardImage->Compose(*m_pGameState);
    if (m_hWndView != nullptr)
    {
        m_hWndView->repaint();
    }
    // Keep the frame up long enough to be seen; composing and painting count towards it.
    if (m_nFrameMilliseconds > 0)
    {
        const auto end = start + std::chrono::milliseconds(m_nFrameMilliseconds);
        if (std::chrono::steady_clock::now() < end)
        {
            std::this_thread::sleep_until(end);
        }
    }
}

void CAnimator::PlayCue(const char* fileName)
{
    if (!m_bSoundsOn || m_pCuePlayer == nullptr)
    {
        return;
    }
    m_pCuePlayer->Play(fileName);
}
