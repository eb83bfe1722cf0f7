// Status sounds of a status window.
#include "ui/status_window/status_sound.h"

namespace krx {

void StatusSound::Load(const std::string& modelSection) {
    m_pSound.reset(new SoundTable(modelSection.c_str()));
    if (!m_pSound->IsSoundAvailable()) {
        m_pSound.reset();
    }
}

void StatusSound::Stop() {
    if (m_pSound) {
        SoundTable::StopSounds();
        m_pSound.reset();
    }
}

void StatusSound::Announce(int soundNumber, bool play) {
    if (soundNumber == m_nLastSound) {
        return;
    }
    if (play && m_pSound) {
        m_pSound->PlayStatusSound(soundNumber);
    }
    m_nLastSound = soundNumber;
}

} // namespace krx
