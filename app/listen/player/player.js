'use strict';
// The listen window's player. Its settings arrive in the page's query:
// soundFile first, then key=value pairs, each introduced by "&" or by "&amp;":
//
//   ?soundFile=http://host/a.mp3&amp;loop=yes&autostart=yes
//
// Every value is data: soundFile becomes the audio source only when it is an
// http or https address, colours only when they read 0xRRGGBB; nothing from
// the query is ever written into the page as markup or run as script.

const kDefaultColours = {
  bg: '#eeeeee', leftbg: '#adadad', lefticon: '#333333', rightbg: '#a3a3a3', rightbghover: '#6e6e6e',
  righticon: '#030303', righticonhover: '#ffffff', text: '#666666', slider: '#666666', track: '#ffffff',
  border: '#666666', loader: '#999999',
};

function decodeValue(value) {
  try {
    return decodeURIComponent(value);
  } catch (malformed) {
    return value;
  }
}

// The first value of each key; pieces without a key are skipped.
function readSettings(query) {
  const settings = new Map();
  for (const piece of query.split('&')) {
    const item = piece.startsWith('amp;') ? piece.slice(4) : piece;
    const equals = item.indexOf('=');
    if (equals <= 0) continue;
    const key = item.slice(0, equals);
    if (!settings.has(key)) settings.set(key, decodeValue(item.slice(equals + 1)));
  }
  return settings;
}

// The address as the browser resolves it, or '' unless it is http or https.
function soundSource(value) {
  try {
    const address = new URL(value);
    return address.protocol === 'http:' || address.protocol === 'https:' ? address.href : '';
  } catch (notAnAddress) {
    return '';
  }
}

function colour(value, fallback) {
  return /^0x[0-9a-fA-F]{6}$/.test(value || '') ? '#' + value.slice(2) : fallback;
}

function formatTime(seconds) {
  const whole = Math.floor(Number.isFinite(seconds) ? seconds : 0);
  return Math.floor(whole / 60) + ':' + String(whole % 60).padStart(2, '0');
}

const settings = readSettings(location.search.slice(1));
for (const [name, fallback] of Object.entries(kDefaultColours))
  document.documentElement.style.setProperty('--' + name, colour(settings.get(name), fallback));

const sound = document.getElementById('sound');
const toggle = document.getElementById('toggle');
const track = document.getElementById('track');
const loaded = document.getElementById('loaded');
const slider = document.getElementById('slider');
const elapsed = document.getElementById('elapsed');
const volume = document.getElementById('volume');
const levels = Array.from(document.querySelectorAll('.level'));

function fraction(part) {
  return Number.isFinite(sound.duration) && sound.duration > 0 ? Math.min(part / sound.duration, 1) : 0;
}

function showPosition() {
  const end = sound.buffered.length > 0 ? sound.buffered.end(sound.buffered.length - 1) : 0;
  loaded.style.width = fraction(end) * 100 + '%';
  slider.style.left = fraction(sound.currentTime) * 100 + '%';
  elapsed.textContent = formatTime(sound.currentTime);
}

function showPlaying() {
  toggle.classList.toggle('paused', sound.paused);
  toggle.title = sound.paused ? '播放' : '暂停';
}

function showVolume() {
  volume.classList.toggle('muted', sound.muted);
  levels.forEach((level, index) => level.classList.toggle('off', sound.volume < (index + 1) / levels.length));
}

function seekTo(event) {
  const box = track.getBoundingClientRect();
  if (Number.isFinite(sound.duration) && box.width > 0)
    sound.currentTime = sound.duration * Math.min(Math.max((event.clientX - box.left) / box.width, 0), 1);
}

toggle.addEventListener('click', () => {
  if (sound.paused) sound.play().catch(() => {});
  else sound.pause();
});
track.addEventListener('pointerdown', (event) => {
  track.setPointerCapture(event.pointerId);
  seekTo(event);
});
track.addEventListener('pointermove', (event) => {
  if (track.hasPointerCapture(event.pointerId)) seekTo(event);
});
volume.addEventListener('click', (event) => {
  const level = levels.indexOf(event.target);
  if (level < 0) {
    sound.muted = !sound.muted;
  } else {
    sound.volume = (level + 1) / levels.length;
    sound.muted = false;
  }
});
for (const name of ['timeupdate', 'progress', 'durationchange', 'seeked', 'emptied']) sound.addEventListener(name, showPosition);
for (const name of ['play', 'pause', 'ended']) sound.addEventListener(name, showPlaying);
sound.addEventListener('volumechange', showVolume);

sound.loop = settings.get('loop') === 'yes';
sound.preload = 'auto';
const source = soundSource(settings.get('soundFile'));
if (source !== '') {
  sound.src = source;
  if (settings.get('autostart') === 'yes') sound.play().catch(() => {});
}
showPosition();
showPlaying();
showVolume();
