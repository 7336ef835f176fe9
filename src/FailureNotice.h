// Why the game could not start, told where the player will see it.
#ifndef TUMULT2D_FAILURENOTICE_H_
#define TUMULT2D_FAILURENOTICE_H_

#include <string>

// Prints "tumult2d: Reason" on stderr. On Windows, where the game has no console, it then
// shows Reason in a message box titled "Tumult 2D" and returns once the player has closed it.
void ShowStartFailure(const std::string& Reason);

#endif  // TUMULT2D_FAILURENOTICE_H_
