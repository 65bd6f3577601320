#pragma once
// Where per-user state lives, where the product installs for the current user, shell folders
// (with a test override for the shortcut folders) and the stable id of this installation.

#include <windows.h>

#include <filesystem>
#include <string>

namespace tarvo::distribution {

// "TARVO_QA_DATA_ROOT" unchanged when set, else LocalAppData / "TARVONIX VOLLEY"
// (the relative "TARVONIX VOLLEY" when LocalAppData cannot be had). Creates nothing.
std::filesystem::path UserStateRoot();

// LocalAppData / "Programs" / "TARVONIX VOLLEY"; the temporary folder / "TARVONIX VOLLEY" as fall-back.
std::filesystem::path DefaultInstallRoot();

// A shell known folder (created when missing), or empty. With "TARVO_QA_SHORTCUT_ROOT" set, the desktop is
// <value>/Desktop and the programs folder <value>/StartMenu/Programs; other ids are never redirected.
std::filesystem::path KnownFolder(const GUID& id);

// The id stored in UserStateRoot()/Telemetry/installation.id (any 32..64 characters once trailing CR/LF are
// dropped), or a new upper-case GUID without braces stored there. Empty when none can be read or stored.
// The id is free text: escape it wherever it is embedded (JSON, URLs).
std::wstring EnsureInstallationId();

}  // namespace tarvo::distribution
