/*
** The catch-all around a plug-in command: nothing that goes wrong inside a command may
** leave an export into the host.
*/
#ifndef FRAME_COMMAND_GUARD_H
#define FRAME_COMMAND_GUARD_H

/* Runs command. Returns true when it ran to its end, false when an exception left it:
   a C++ exception thrown by the plug-in's own code (memory exhausted), or a Win32
   structured exception raised inside a host call, the only kind a host built with
   another compiler can send through us. After false the command's module-wide state is
   as the exception left it; the caller closes what is open. */
bool RunGuarded(void (*command)());

#endif /* FRAME_COMMAND_GUARD_H */
