#include "CCuePlayer.h"

#include <QAudioDevice>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

CCuePlayer::CCuePlayer() : m_nHasOutput(-1), m_pPlaying(nullptr) {}

CCuePlayer::~CCuePlayer() = default;

bool CCuePlayer::HasOutput()
{
    // Asked on first use: looking for audio devices can take a moment, start-up should not wait.
    if (m_nHasOutput < 0)
    {
        m_nHasOutput = QMediaDevices::audioOutputs().isEmpty() ? 0 : 1;
    }
    return m_nHasOutput == 1;
}

QSoundEffect* CCuePlayer::Effect(const char* fileName)
{
    if (fileName == nullptr || *fileName == '\0' || !HasOutput())
    {
        return nullptr;
    }
    const QString name = QString::fromUtf8(fileName);
    auto found = m_effects.find(name);
    if (found != m_effects.end())
    {
        return found->second.get();
    }
    // A missing file is remembered as no effect, so it is not looked for again on every cue.
    const QFileInfo file(QDir::current(), name);
    std::unique_ptr<QSoundEffect> effect;
    if (file.isFile())
    {
        effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    }
    QSoundEffect* result = effect.get();
    m_effects.emplace(name, std::move(effect));
    return result;
}

void CCuePlayer::Preload(const char* fileName)
{
    Effect(fileName);
}

void CCuePlayer::Play(const char* fileName)
{
    QSoundEffect* effect = Effect(fileName);
    if (m_pPlaying != nullptr && m_pPlaying->isPlaying())
    {
        m_pPlaying->stop();
    }
    m_pPlaying = nullptr;
    if (effect == nullptr || effect->status() == QSoundEffect::Error)
    {
        return;
    }
    effect->play();
    m_pPlaying = effect;
}
