// Tumult 2D's service worker: keeps one release of the game's files whole in a cache of its
// own and serves them from there, so that after one visit the game starts and plays without a
// network. A release is named by a digest of its files; release.json, which the build writes
// (platforms/web/offline.sh), names the server's latest and lists its files. This script is the
// same for every release: a new one is fetched by this worker when the page asks ("update"),
// kept whole beside the old, and only then served, so that a page never gets files of two.
"use strict";

const scope = self.registration.scope;
const at = name => new URL(name, scope).href;
const PREFIX = `Tumult 2D at ${scope}, release `;
const POINTER = `Tumult 2D at ${scope}`;  // the cache whose "release" names the one served

async function servedRelease() {
  const answer = await caches.match(at("release"), { cacheName: POINTER });
  return answer ? answer.text() : "";
}

// Keeps the server's latest release, every file fresh from the server (not from the browser's
// own cache of an older one) or none, then serves it and drops the others; its name.
async function keepLatest() {
  const answer = await fetch(at("release.json"), { cache: "no-store" });
  if (!answer.ok) throw new Error(`release.json: ${answer.status} ${answer.statusText}`);
  const { release, files } = await answer.json();
  if (release !== await servedRelease()) {
    const cache = await caches.open(PREFIX + release);
    await cache.addAll(files.map(file => new Request(at(file), { cache: "no-cache" })));
    await (await caches.open(POINTER)).put(at("release"), new Response(release));
  }
  const names = await caches.keys();
  await Promise.all(names.filter(name => name.startsWith(PREFIX) && name !== PREFIX + release)
    .map(name => caches.delete(name)));
  return release;
}

// A worker whose release cannot be had whole is not installed. Every worker serves the release
// the pointer names, so a newer one of this script may take over at once.
self.addEventListener("install", event => {
  event.waitUntil(keepLatest().then(() => self.skipWaiting()));
});

async function served(name, request) {
  const release = await servedRelease();
  const kept = release && await caches.match(name, { cacheName: PREFIX + release });
  return kept || fetch(request);
}

// The kept files (the site's folder is the page); "release", the name of the release served;
// "update", which keeps the server's latest release and answers its name, or fails.
self.addEventListener("fetch", event => {
  const url = new URL(event.request.url);
  url.search = url.hash = "";
  const name = url.href === scope ? at("index.html") : url.href;
  if (name === at("release")) {
    event.respondWith(servedRelease().then(release => new Response(release)));
  } else if (name === at("update")) {
    event.respondWith(keepLatest().then(release => new Response(release),
                                        error => new Response(`${error}`, { status: 503 })));
  } else if (event.request.method === "GET") {
    event.respondWith(served(name, event.request));
  }
});
