#pragma once

#include <windows.h>
#include <oleacc.h>

class CManagerUI;
class CControlUI;

// The window's controls as Active Accessibility objects.
//
// WM_GETOBJECT for OBJID_CLIENT is answered with an object standing for the
// window's client area; its children are the visible controls of the root,
// and theirs the visible controls inside them, recursively. Every object
// refers to its control through a registry entry, never by a pointer of its
// own: a destroyed control leaves the registry, and its objects then answer
// CO_E_OBJNOTCONNECTED to every call.
//
// Children are numbered from 1 in their container's order among the visible
// ones. Events carry a negative id unique to the control for the life of the
// process; the client object's get_accChild answers those ids too, which is
// how a screen reader finds the object an event is about.

// Answers WM_GETOBJECT; false for the object ids the manager leaves to the system.
bool AnswerAccessibleObjectRequest(CManagerUI* manager, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The client object of the manager's window (null without a root), or the
// object of one of its controls; the caller owns the reference.
IAccessible* CreateClientAccessible(CManagerUI* manager);
IAccessible* CreateControlAccessible(CControlUI* control);

// Runs a default action or a selection that an accessible object queued
// (AccessibleActionMessage's parameters), when its control is still in the
// manager's window and can run it.
void RunQueuedAccessibleAction(CManagerUI* manager, WPARAM wParam, LPARAM lParam);

// The id events carry for control (negative).
LONG AccessibleEventId(CControlUI* control);

// Raises a WinEvent (EVENT_OBJECT_*) for a control of the manager's window.
void RaiseAccessibleEvent(DWORD event, CManagerUI* manager, CControlUI* control);

// Called as a control is destroyed: its objects are disconnected.
void ForgetAccessibleControl(CControlUI* control);
