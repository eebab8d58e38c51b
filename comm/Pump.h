#pragma once

// Lets the application process its pending messages (events, timers, socket
// notifications) once, without waiting. The one place where code below the
// windows does so; the windows reuse it.
void ProcessMessages();
