// Tumult 2D's service worker: keeps one release's files in a cache of its own and serves them
// from there, so that after one visit the game starts and plays without a network. The build
// (platforms/web/offline.sh) lists the files and names the release by a digest of them, so a
// new release is a new worker, which the browser finds changed at the page's next visit. Each
// worker serves only its own release's files, so a page never gets files of two.
"use strict";

const FILES = [@FILES@];
const PREFIX = `Tumult 2D at ${self.registration.scope}, release `;
const RELEASE = "@RELEASE@";
const CACHE = PREFIX + RELEASE;
const kept = new Set(FILES.map(file => new URL(file, self.registration.scope).href));
const releaseName = new URL("release", self.registration.scope).href;

// Every file, fresh from the server (not from the browser's own cache of an older release),
// or none: a release that cannot be had whole is not installed.
self.addEventListener("install", event => {
  event.waitUntil(caches.open(CACHE).then(cache =>
    cache.addAll(FILES.map(file => new Request(file, { cache: "no-cache" })))));
});

// The page puts a newer release in charge once it is installed, and then opens itself again.
self.addEventListener("message", event => {
  if (event.data === "activate") self.skipWaiting();
});

// Older releases of this copy of the game go; other copies on the same host keep theirs.
self.addEventListener("activate", event => {
  event.waitUntil(caches.keys().then(names => Promise.all(names
    .filter(name => name.startsWith(PREFIX) && name !== CACHE)
    .map(name => caches.delete(name)))));
});

// The kept files, and "release": the name of this worker's release, which the page compares
// with the server's newest worker.
self.addEventListener("fetch", event => {
  const url = new URL(event.request.url);
  url.search = url.hash = "";
  const name = url.href === self.registration.scope ? url.href + "index.html" : url.href;
  if (name === releaseName) event.respondWith(new Response(RELEASE));
  if (event.request.method !== "GET" || !kept.has(name)) return;  // the network's
  event.respondWith(caches.open(CACHE).then(cache => cache.match(name))
    .then(response => response || fetch(event.request)));
});
