// WGS-84 -> GCJ-02, the offset coordinate system of street maps of mainland
// China. Tiles drawn in GCJ-02 put a WGS-84 track hundreds of metres off the
// roads unless every point is shifted the same way first.
//
// The shift is the published formula on the Krasovsky 1940 ellipsoid. It only
// applies inside mainland China: the usual test is a latitude/longitude
// rectangle, which also shifts Korea, Taiwan and Mongolia. A coarse outline of
// the mainland (plus Hainan) keeps those unshifted; near a land border the
// outline is within some kilometres, which is far below the accuracy the
// offset has there anyway.
(function (root) {
  'use strict';

  const KRASOVSKY_A = 6378245.0;
  const KRASOVSKY_EE = 0.00669342162296594323;

  // [longitude, latitude] vertices, counter-clockwise from the western tip.
  const MAINLAND = [
    [73.5, 39.5], [74.9, 37.2], [78.0, 35.5], [78.9, 34.3], [78.7, 31.5],
    [81.1, 30.0], [85.8, 28.2], [88.9, 27.3], [92.1, 26.9], [96.1, 28.3],
    [97.5, 28.3], [98.7, 25.8], [97.6, 24.0], [99.5, 22.1], [101.2, 21.2],
    [102.1, 22.4], [105.3, 23.3], [106.7, 22.0], [108.0, 21.5], [109.7, 21.4],
    [110.2, 20.2], [110.6, 20.2], [111.5, 21.4], [113.5, 22.0], [114.3, 22.2],
    [116.5, 22.8], [117.9, 23.8], [119.3, 25.1], [119.9, 26.6], [121.0, 28.0],
    [122.3, 29.9], [122.0, 31.0], [121.0, 32.6], [119.3, 34.6], [120.3, 36.0],
    [122.7, 37.4], [120.7, 37.9], [119.2, 37.2], [117.8, 38.3], [118.9, 39.1],
    [121.0, 40.8], [121.1, 38.7], [121.8, 38.8], [123.0, 39.5], [124.3, 39.8], [126.0, 41.0],
    [128.3, 41.6], [130.6, 42.4], [131.0, 44.9], [133.1, 45.0], [134.8, 48.4],
    [133.0, 48.4], [127.5, 49.8], [125.6, 53.1], [123.3, 53.6], [120.0, 53.3],
    [119.8, 50.3], [116.7, 49.8], [115.6, 47.9], [119.7, 47.1], [117.4, 46.6],
    [113.0, 44.8], [111.9, 43.7], [107.0, 42.4], [105.0, 41.6], [100.8, 42.6],
    [96.4, 42.7], [95.3, 44.3], [91.0, 45.2], [90.7, 47.7], [87.8, 49.2],
    [85.5, 47.0], [82.5, 45.5], [80.2, 44.9], [80.1, 42.6], [76.5, 40.4],
  ];
  const HAINAN = [
    [108.5, 19.2], [109.5, 18.1], [110.3, 18.6], [111.1, 19.7], [110.6, 20.2],
    [109.6, 20.1],
  ];

  function insidePolygon(lon, lat, polygon) {
    let inside = false;
    for (let i = 0, j = polygon.length - 1; i < polygon.length; j = i++) {
      const [xi, yi] = polygon[i];
      const [xj, yj] = polygon[j];
      if ((yi > lat) !== (yj > lat) && lon < ((xj - xi) * (lat - yi)) / (yj - yi) + xi) {
        inside = !inside;
      }
    }
    return inside;
  }

  function isInMainlandChina(lat, lon) {
    if (!Number.isFinite(lat) || !Number.isFinite(lon)) return false;
    if (lon < 72.004 || lon > 137.8347 || lat < 0.8293 || lat > 55.8271) return false;
    return insidePolygon(lon, lat, MAINLAND) || insidePolygon(lon, lat, HAINAN);
  }

  function shiftLat(x, y) {
    let r = -100.0 + 2.0 * x + 3.0 * y + 0.2 * y * y + 0.1 * x * y + 0.2 * Math.sqrt(Math.abs(x));
    r += ((20.0 * Math.sin(6.0 * x * Math.PI) + 20.0 * Math.sin(2.0 * x * Math.PI)) * 2.0) / 3.0;
    r += ((20.0 * Math.sin(y * Math.PI) + 40.0 * Math.sin((y / 3.0) * Math.PI)) * 2.0) / 3.0;
    r += ((160.0 * Math.sin((y / 12.0) * Math.PI) + 320 * Math.sin((y * Math.PI) / 30.0)) * 2.0) / 3.0;
    return r;
  }

  function shiftLon(x, y) {
    let r = 300.0 + x + 2.0 * y + 0.1 * x * x + 0.1 * x * y + 0.1 * Math.sqrt(Math.abs(x));
    r += ((20.0 * Math.sin(6.0 * x * Math.PI) + 20.0 * Math.sin(2.0 * x * Math.PI)) * 2.0) / 3.0;
    r += ((20.0 * Math.sin(x * Math.PI) + 40.0 * Math.sin((x / 3.0) * Math.PI)) * 2.0) / 3.0;
    r += ((150.0 * Math.sin((x / 12.0) * Math.PI) + 300.0 * Math.sin((x / 30.0) * Math.PI)) * 2.0) / 3.0;
    return r;
  }

  // Returns [lat, lon] in GCJ-02; points outside the mainland come back as given.
  function wgs84ToGcj02(lat, lon) {
    if (!isInMainlandChina(lat, lon)) return [lat, lon];
    let dLat = shiftLat(lon - 105.0, lat - 35.0);
    let dLon = shiftLon(lon - 105.0, lat - 35.0);
    const radLat = (lat / 180.0) * Math.PI;
    let magic = Math.sin(radLat);
    magic = 1 - KRASOVSKY_EE * magic * magic;
    const sqrtMagic = Math.sqrt(magic);
    dLat = (dLat * 180.0) / (((KRASOVSKY_A * (1 - KRASOVSKY_EE)) / (magic * sqrtMagic)) * Math.PI);
    dLon = (dLon * 180.0) / ((KRASOVSKY_A / sqrtMagic) * Math.cos(radLat) * Math.PI);
    return [lat + dLat, lon + dLon];
  }

  root.KolvexGcj02 = { wgs84ToGcj02, isInMainlandChina };
})(typeof globalThis !== 'undefined' ? globalThis : this);
