// The map page's behaviour, shared by ymap.html and bmap.html.
//
// The player drives the page through global functions (movpos, marker_delete,
// path_plot, path_delete, pathdrived_plot, pathdrived_delete and the marks'
// and speed route's own), each called as one statement with WGS-84 decimal
// degrees, latitude first. A whole path arrives as thousands of path_plot
// calls in a row, so points are collected and drawn once per burst instead of
// redrawing the line for every point.
//
// The page works offline: the car, the paths and the scale bar draw on a plain
// background and nothing waits for tiles.
(function (root) {
  'use strict';

  // How long the view leaves the marker alone after the user panned or zoomed.
  const FOLLOW_PAUSE_MS = 8000;
  // Bursts of points are drawn at most this often; each draw renders the
  // whole line.
  const DRAW_INTERVAL_MS = 100;
  // Zoom used when the car is shown before any path gave the view a scale.
  const MARKER_ZOOM = 15;

  function tileUrlFromQuery(fallback) {
    const params = new URLSearchParams(root.location ? root.location.search : '');
    const override = params.get('tiles');
    return override && override.trim() !== '' ? override.trim() : fallback;
  }

  function startMap(config) {
    const convert = config.gcj02 ? root.KolvexGcj02.wgs84ToGcj02 : (lat, lon) => [lat, lon];
    const tileUrl = tileUrlFromQuery(config.tiles);

    const map = L.map('map', {
      crs: config.crs === 'EPSG3395' ? L.CRS.EPSG3395 : L.CRS.EPSG3857,
      center: config.center,
      zoom: config.zoom,
      zoomAnimation: false,
      fadeAnimation: false,
      worldCopyJump: false,
    });
    L.control.scale({ imperial: true, metric: true }).addTo(map);

    let tileErrors = 0;
    const tiles = L.tileLayer(tileUrl, {
      subdomains: config.subdomains || 'abc',
      maxZoom: 18,
      attribution: config.attribution || '',
    });
    tiles.on('tileerror', () => {
      tileErrors += 1;
    });
    // Tiles join after the document has loaded, so that the page counts as
    // loaded (and the player starts sending) without waiting for the network.
    if (document.readyState === 'complete') tiles.addTo(map);
    else root.addEventListener('load', () => tiles.addTo(map), { once: true });

    // The whole path under the driven path under the car.
    const wholePath = L.polyline([], {
      color: '#2b6cd4', weight: 4, opacity: 0.55, interactive: false,
    }).addTo(map);
    // The route coloured by speed, when the player asks for it: above the
    // whole path, under the driven path and the car.
    const speedRoute = L.layerGroup().addTo(map);
    const drivenPath = L.polyline([], {
      color: '#e0301e', weight: 5, opacity: 0.9, interactive: false,
    }).addTo(map);
    const carIcon = L.divIcon({
      className: 'kolvex-car', iconSize: [18, 18], iconAnchor: [9, 9],
    });
    const car = L.marker([0, 0], { icon: carIcon, interactive: false, keyboard: false });

    // The speed route's points ({point, kmh}) and its legend.
    let speedPoints = [];
    let speedDirty = false;
    const SPEED_STEPS = 16;
    const legend = L.control({ position: 'bottomleft' });
    let legendShown = false;
    legend.onAdd = () => {
      const box = L.DomUtil.create('div', 'kolvex-speed-legend');
      box.style.cssText = 'background:rgba(255,255,255,0.85);padding:3px 6px;'
        + 'border-radius:3px;font:11px sans-serif;color:#222';
      return box;
    };

    // Green at the slowest speed of the recording, through yellow, to red at
    // the fastest.
    function speedColour(t) {
      return `hsl(${Math.round(120 * (1 - t))}, 85%, 42%)`;
    }

    function drawSpeedRoute() {
      speedDirty = false;
      speedRoute.clearLayers();
      if (speedPoints.length < 2) {
        if (legendShown) legend.remove();
        legendShown = false;
        return;
      }
      let min = Infinity;
      let max = -Infinity;
      for (const p of speedPoints) {
        min = Math.min(min, p.kmh);
        max = Math.max(max, p.kmh);
      }
      const span = max - min;
      const step = (kmh) => (span > 0
        ? Math.min(SPEED_STEPS - 1, Math.floor(((kmh - min) / span) * SPEED_STEPS)) : 0);
      // Neighbouring segments of one colour step form one line.
      let run = [speedPoints[0].point];
      let runStep = step((speedPoints[0].kmh + speedPoints[1].kmh) / 2);
      for (let i = 1; i < speedPoints.length; i += 1) {
        const segmentStep = step((speedPoints[i - 1].kmh + speedPoints[i].kmh) / 2);
        if (segmentStep !== runStep) {
          L.polyline(run, { color: speedColour(runStep / (SPEED_STEPS - 1)), weight: 5,
            opacity: 0.95, interactive: false }).addTo(speedRoute);
          run = [speedPoints[i - 1].point];
          runStep = segmentStep;
        }
        run.push(speedPoints[i].point);
      }
      L.polyline(run, { color: speedColour(runStep / (SPEED_STEPS - 1)), weight: 5,
        opacity: 0.95, interactive: false }).addTo(speedRoute);
      if (!legendShown) legend.addTo(map);
      legendShown = true;
      const stops = [0, 0.5, 1].map(speedColour).join(',');
      legend.getContainer().innerHTML =
        `<div style="width:110px;height:8px;background:linear-gradient(to right,${stops})"></div>`
        + `<div style="display:flex;justify-content:space-between">`
        + `<span>${Math.round(min)}</span><span>${Math.round(max)} km/h</span></div>`;
    }

    // Points collected since the last draw.
    let pendingWhole = [];
    let pendingDriven = [];
    let drawScheduled = false;
    // Set by path_delete: the next points form a new whole path, which the view fits.
    let fitWholePath = false;
    let viewHasData = false;
    let lastUserMove = -Infinity;
    let lastDraw = -Infinity;

    // Only the user's own pans and zooms pause following and fitting.
    const container = map.getContainer();
    for (const type of ['pointerdown', 'wheel', 'keydown', 'touchstart', 'dblclick']) {
      container.addEventListener(type, () => {
        lastUserMove = Date.now();
      }, { passive: true, capture: true });
    }

    function userMovedRecently() {
      return Date.now() - lastUserMove < FOLLOW_PAUSE_MS;
    }

    // The player hides the map by giving it no height; a fit then would pick
    // a nonsense zoom, so it waits for the map to get a size again.
    let fitWaitsForSize = false;
    function hasSize() {
      const size = map.getSize();
      return size.x >= 10 && size.y >= 10;
    }
    function fitPath() {
      const bounds = wholePath.getBounds();
      if (!bounds.isValid()) return;
      if (!hasSize()) {
        fitWaitsForSize = true;
        return;
      }
      fitWaitsForSize = false;
      map.fitBounds(bounds, { padding: [20, 20], maxZoom: 17, animate: false });
      viewHasData = true;
    }
    map.on('resize', () => {
      if (fitWaitsForSize && hasSize()) fitPath();
    });

    function appendTo(line, points) {
      const all = line.getLatLngs();
      for (const p of points) all.push(p);
      line.setLatLngs(all);
    }

    function draw() {
      drawScheduled = false;
      lastDraw = Date.now();
      if (pendingWhole.length > 0) {
        appendTo(wholePath, pendingWhole);
        pendingWhole = [];
        if (fitWholePath && !userMovedRecently()) fitPath();
      }
      if (pendingDriven.length > 0) {
        appendTo(drivenPath, pendingDriven);
        pendingDriven = [];
      }
      if (speedDirty) drawSpeedRoute();
    }

    // A timer rather than an animation frame: frames stop while the view is
    // hidden, and the player keeps sending to a hidden map.
    function scheduleDraw() {
      if (!drawScheduled) {
        drawScheduled = true;
        setTimeout(draw, Math.max(0, lastDraw + DRAW_INTERVAL_MS - Date.now()));
      }
    }

    function toPoint(lat, lon) {
      lat = Number(lat);
      lon = Number(lon);
      if (!Number.isFinite(lat) || !Number.isFinite(lon)) return null;
      if (Math.abs(lat) > 90 || Math.abs(lon) > 180) return null;
      const [y, x] = convert(lat, lon);
      return L.latLng(y, x);
    }

    root.movpos = function (lat, lon) {
      const point = toPoint(lat, lon);
      if (!point) return;
      draw();
      car.setLatLng(point);
      if (!map.hasLayer(car)) car.addTo(map);
      // The driven path follows the car while the recording plays; the
      // player redraws it from the samples after each seek.
      const driven = drivenPath.getLatLngs();
      const lastDriven = pendingDriven.length > 0
        ? pendingDriven[pendingDriven.length - 1] : driven[driven.length - 1];
      if (!lastDriven || !lastDriven.equals(point)) {
        pendingDriven.push(point);
        scheduleDraw();
      }
      if (userMovedRecently()) return;
      if (!viewHasData) {
        map.setView(point, MARKER_ZOOM, { animate: false });
        viewHasData = true;
      } else if (!map.getBounds().pad(-0.1).contains(point)) {
        map.panTo(point, { animate: false });
      }
      // Once the car moves, the whole path is complete: later path points
      // (a new recording) are fitted only after the next path_delete.
      fitWholePath = false;
    };

    // No position to show (stopped, or a recording without GPS): the car
    // leaves the map until the next movpos.
    root.marker_delete = function () {
      car.remove();
    };

    root.path_plot = function (lat, lon) {
      const point = toPoint(lat, lon);
      if (!point) return;
      if (wholePath.getLatLngs().length === 0 && pendingWhole.length === 0) fitWholePath = true;
      pendingWhole.push(point);
      scheduleDraw();
    };

    root.path_delete = function () {
      pendingWhole = [];
      wholePath.setLatLngs([]);
      fitWholePath = true;
    };

    root.pathdrived_plot = function (lat, lon) {
      const point = toPoint(lat, lon);
      if (!point) return;
      pendingDriven.push(point);
      scheduleDraw();
    };

    root.pathdrived_delete = function () {
      pendingDriven = [];
      drivenPath.setLatLngs([]);
    };

    root.speedroute_plot = function (lat, lon, kmh) {
      const point = toPoint(lat, lon);
      const speed = Number(kmh);
      if (!point || !Number.isFinite(speed) || speed < 0) return;
      speedPoints.push({ point, kmh: speed });
      speedDirty = true;
      scheduleDraw();
    };

    // Marks of the recording's driving events: kind and time in a tip.
    const eventMarks = L.layerGroup().addTo(map);
    root.event_mark = function (lat, lon, label) {
      const point = toPoint(lat, lon);
      if (!point) return;
      L.circleMarker(point, {
        radius: 6, color: '#ffffff', weight: 2, fillColor: '#ff3d00', fillOpacity: 1,
      }).bindTooltip(String(label ?? ''), { direction: 'top', offset: [0, -6] })
        .addTo(eventMarks);
    };

    root.eventmarks_delete = function () {
      eventMarks.clearLayers();
    };

    root.speedroute_delete = function () {
      speedPoints = [];
      drawSpeedRoute();
    };

    // Test hook: what the page shows, after any datum conversion.
    root.kolvexMapState = function () {
      draw();
      const pair = (p) => [p.lat, p.lng];
      const center = map.getCenter();
      return JSON.stringify({
        marker: map.hasLayer(car) ? pair(car.getLatLng()) : null,
        path: wholePath.getLatLngs().map(pair),
        driven: drivenPath.getLatLngs().map(pair),
        speedRoute: {
          points: speedPoints.length,
          lines: speedRoute.getLayers().map((line) => ({
            colour: line.options.color, points: line.getLatLngs().length,
          })),
          legend: legendShown ? legend.getContainer().textContent : null,
        },
        eventMarks: eventMarks.getLayers().map((mark) => ({
          at: pair(mark.getLatLng()), label: mark.getTooltip().getContent(),
        })),
        tileErrors,
        tileUrl,
        crs: config.crs,
        view: {
          center: pair(center),
          zoom: map.getZoom(),
          bounds: [pair(map.getBounds().getSouthWest()), pair(map.getBounds().getNorthEast())],
        },
      });
    };
    root.kolvexMap = map;
  }

  root.kolvexStartMap = startMap;
})(window);
