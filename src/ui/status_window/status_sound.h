// The sounds of the model's statuses while a job is being sent: the model's
// sound table and the last status number whose sound was considered, so
// that a status keeps quiet once its sound has played.
#pragma once

#include <memory>
#include <string>

#include "graphics/sound.h"

namespace krx {

class StatusSound {
  public:
    // The model's table; none when the model has no sounds.
    void Load(const std::string& modelSection);
    // Stops any sound and drops the table.
    void Stop();
    bool Available() const { return static_cast<bool>(m_pSound); }

    // A status shown without a sound to consider: the next one is new.
    void Forget() { m_nLastSound = -1; }
    // A status shown: its sound plays when the status number changed and
    // the user wants the sound (play).
    void Announce(int soundNumber, bool play);

  private:
    std::unique_ptr<SoundTable> m_pSound;
    int m_nLastSound = -1;
};

} // namespace krx
