#include "CBoardImage.h"

#include "CGameState.h"
#include "ErrorCodes.h"
#include "IAnimator.h"

#include <cmath>

CBoardImage::CBoardImage()
    : m_bLoaded(false), m_nShown(0), m_fine(FineSet::Untried), m_cells{}, m_nOriginX(0),
      m_nOriginY(0), m_pszFailedFile(nullptr)
{
}

CBoardImage::~CBoardImage() = default;

void CBoardImage::Reset()
{
    // m_pszFailedFile survives: the failure path of Load resets and the caller still asks
    // which file failed.
    m_bLoaded = false;
    for (CBoardSet& set : m_sets)
    {
        set.Reset();
    }
    m_nShown = 0;
    m_fine = FineSet::Untried;
    m_nOriginX = 0;
    m_nOriginY = 0;
}

std::uint32_t CBoardImage::Load()
{
    if (m_bLoaded)
    {
        // Loading over a loaded board is a caller's mistake; it ends reset, as any failure.
        m_pszFailedFile = kImageFiles[kImageFileCount - 1];
        Reset();
        return kErrorInvalidParameter;
    }
    Reset();
    const char* failed = nullptr;
    const std::uint32_t code = m_sets[0].Load(kImageFiles, failed);
    m_pszFailedFile = failed;
    if (code != kErrorSuccess)
    {
        Reset();
        return code;
    }
    m_bLoaded = true;
    return kErrorSuccess;
}

void CBoardImage::SetDeviceRatio(double ratio)
{
    if (!m_bLoaded)
    {
        return;
    }
    const bool fine = ratio > 1.0;
    if (fine && m_fine == FineSet::Untried)
    {
        const char* failed = nullptr;
        const bool usable = m_sets[1].Load(kImageFiles2x, failed) == kErrorSuccess &&
                            m_sets[1].RefinesCellsOf(m_sets[0]);
        m_fine = usable ? FineSet::Usable : FineSet::Refused;
        if (!usable)
        {
            // Quietly: the required set is all the player needs.
            m_sets[1].Reset();
        }
    }
    const int wanted = fine && m_fine == FineSet::Usable ? 1 : 0;
    if (wanted != m_nShown)
    {
        m_nShown = wanted;
        m_sets[m_nShown].Invalidate();
        m_sets[m_nShown].Compose(m_cells);
    }
}

std::uint32_t CBoardImage::Compose(const CGameState& gameState)
{
    if (!m_bLoaded)
    {
        return kErrorNotReady;
    }
    std::copy(std::begin(gameState.cells), std::end(gameState.cells), std::begin(m_cells));
    return m_sets[m_nShown].Compose(m_cells);
}

bool CBoardImage::HitTest(double x, double y, std::uint32_t& column, std::uint32_t& row) const
{
    const double scale = ShownScale();
    const double dx = std::floor((x - m_nOriginX) * scale);
    const double dy = std::floor((y - m_nOriginY) * scale);
    // Also refuses NaN: no comparison with it holds.
    const CBoardSet& set = Shown();
    if (!(dx >= 0 && dy >= 0 && dx < set.Width() && dy < set.Height()))
    {
        return false;
    }
    const RgbQuad* entry =
        set.EntryAt(static_cast<std::int64_t>(dx), static_cast<std::int64_t>(dy));
    if (entry == nullptr)
    {
        return false;
    }
    column = entry->red;
    row = entry->blue;
    return true;
}

std::uint32_t CBoardImage::Click(double x, double y, CGameState& gameState, IAnimator* animator)
{
    if (!m_bLoaded)
    {
        return 0;
    }
    std::uint32_t column = 0;
    std::uint32_t row = 0;
    if (!HitTest(x, y, column, row))
    {
        return 0;
    }
    const ClickResult result = gameState.ProcessClick(column, row, animator);
    if (result != ResultNothing)
    {
        Compose(gameState);
    }
    return static_cast<std::uint32_t>(result);
}
