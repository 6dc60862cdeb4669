// The service worker: it keeps the site's files, so that the page loads, and the game goes on,
// without the network after the first visit. scripts/web.sh fills in the list of files and a
// name for this version of them; a new version replaces the old one's files.
'use strict';
const version = 'referee-@VERSION@';
const files = [@FILES@];

// Each file checked with the server (no-cache: a conditional request, answered without the bytes
// when the browser's copy is current), so that a new version never keeps an old file.
self.addEventListener('install', (event) => {
    event.waitUntil(caches.open(version)
        .then((cache) => cache.addAll(files.map((file) => new Request(file, { cache: 'no-cache' }))))
        .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
    event.waitUntil(caches.keys()
        .then((names) => Promise.all(names.filter((name) => name !== version)
            .map((name) => caches.delete(name))))
        .then(() => self.clients.claim()));
});

// The kept files first; anything else from the network.
self.addEventListener('fetch', (event) => {
    if (event.request.method !== 'GET') {
        return;
    }
    event.respondWith(caches.open(version)
        .then((cache) => cache.match(event.request, { ignoreSearch: true }))
        .then((kept) => kept || fetch(event.request)));
});
