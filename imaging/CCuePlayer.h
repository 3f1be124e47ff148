#pragma once

#include "ICuePlayer.h"

#include <QString>

#include <map>
#include <memory>

class QSoundEffect;

// Plays wave files from the working directory through Qt Multimedia: one sound effect per cue
// file, one voice at a time (a new cue stops the one playing), never waiting.
class CCuePlayer : public ICuePlayer
{
public:
    CCuePlayer();
    ~CCuePlayer() override;
    CCuePlayer(const CCuePlayer&) = delete;
    CCuePlayer& operator=(const CCuePlayer&) = delete;

    // Starts loading a cue ahead of its first use, so the first click is heard.
    void Preload(const char* fileName);
    void Play(const char* fileName) override;

    // False where the system offers no audio output; the player then stays silent.
    bool HasOutput();

private:
    QSoundEffect* Effect(const char* fileName);

    int m_nHasOutput; // -1 until the audio outputs have been asked for
    std::map<QString, std::unique_ptr<QSoundEffect>> m_effects;
    QSoundEffect* m_pPlaying;
};
