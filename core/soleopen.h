// Whether a file may be deleted, from what opening it with no sharing at all gave.
// Portable: the Windows side is DeleteFileAt in files.cpp.
#pragma once

// Windows 95, 98 and Me delete a file even while another program has it open, so that
// open is the only guard against deleting a running program or a help file in use. Their
// sharing conflicts are decided by the DOS sharing rules underneath, which answer many as
// "access denied", or as a failed critical error while the boxes are off, rather than a
// sharing violation, and do not always set an error code at all. No code can therefore be
// trusted to mean "not in use": a file is deleted only when we could open it alone and
// close it again, and whatever else happened leaves it (not there, in use, no access).
inline bool MayDeleteAfterSoleOpen(bool opened, bool closed) { return opened && closed; }
