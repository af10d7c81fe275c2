// The built-in player behind http://<kPlayerHost>/player.swf.
//
// Nothing on this desktop runs a .swf player, so the program answers the
// player's address itself: a request interceptor redirects it, query
// unchanged, to the player page in the program's resources, served under its
// own URL scheme:
//
//   http://player.varnoke.invalid/player.swf?soundFile=X&amp;loop=yes
//     -> varnoke-player://player/player.html?soundFile=X&amp;loop=yes
//
// Every other request for the player host is blocked, so nothing addressed to
// it ever reaches the network.
#pragma once

class QWebEngineProfile;

// Registers the player's URL scheme with the web engine. Must run before the
// web engine starts, that is before the first profile or page exists.
void RegisterPlayerScheme();

// Installs the redirect and the page's files on `profile`.
void InstallPlayer(QWebEngineProfile* profile);
