#include "companion/App.h"

namespace qn {

// The parent asks for the user's attention; a desktop without the sound stays silent.
void App::playAlert() {
  ports_.sound.play("Glass");
}

}  // namespace qn
