// The workbench as an offline app: served over HTTP(S), the page registers
// this worker, which keeps the page, its manifest and icon, and serves them
// when the network is not there (from the network first, so that a newer
// page on the server is taken while it is). The page opened from the disk
// does without it.
"use strict";

const CACHE = "meridian-workbench";
const FILES = ["workbench.html", "workbench.webmanifest", "workbench-icon.png"];

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => event.waitUntil(self.clients.claim()));

self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method !== "GET" || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith((async () => {
    const cache = await caches.open(CACHE);
    try {
      const response = await fetch(request);
      if (response.ok) await cache.put(request, response.clone());
      return response;
    } catch (error) {
      const kept = await cache.match(request, { ignoreSearch: true });
      if (kept) return kept;
      throw error;
    }
  })());
});
