// The WGS-84 -> GCJ-02 shift of the China map, checked in node without a browser.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { createRequire } from 'node:module';
import { mapWebDir } from './browser.mjs';

createRequire(import.meta.url)(path.join(mapWebDir, 'gcj02.js'));
const { wgs84ToGcj02, isInMainlandChina } = globalThis.KolvexGcj02;

function metresBetween([lat1, lon1], [lat2, lon2]) {
  const k = Math.PI / 180;
  const x = (lon2 - lon1) * k * Math.cos(((lat1 + lat2) / 2) * k);
  const y = (lat2 - lat1) * k;
  return Math.hypot(x, y) * 6371000;
}

test('matches the published reference point in Beijing', () => {
  const [lat, lon] = wgs84ToGcj02(39.915, 116.404);
  assert.ok(Math.abs(lat - 39.91640428150164) < 1e-12, `lat ${lat}`);
  assert.ok(Math.abs(lon - 116.41024449916938) < 1e-12, `lon ${lon}`);
});

test('shifts points across the mainland by the usual few hundred metres', () => {
  const mainland = {
    Shanghai: [31.2304, 121.4737], Shenzhen: [22.5431, 114.0579], Urumqi: [43.8256, 87.6168],
    Harbin: [45.8038, 126.5349], Lhasa: [29.65, 91.1], Kashgar: [39.4704, 75.9898],
    Dalian: [38.914, 121.6147], Hohhot: [40.8424, 111.7491], Sanya: [18.2528, 109.512],
    Xiamen: [24.4798, 118.0894], Manzhouli: [49.5978, 117.3786], Kunming: [25.0389, 102.7183],
  };
  for (const [name, point] of Object.entries(mainland)) {
    assert.ok(isInMainlandChina(...point), `${name} counts as mainland`);
    const shift = metresBetween(point, wgs84ToGcj02(...point));
    assert.ok(shift > 50 && shift < 1000, `${name} shifted by ${shift} m`);
  }
});

test('leaves points outside mainland China unchanged', () => {
  const outside = {
    // inside the usual latitude/longitude rectangle, yet not the mainland
    Seoul: [37.5665, 126.978], Pyongyang: [39.0392, 125.7625], Taipei: [25.033, 121.5654],
    Ulaanbaatar: [47.8864, 106.9057], Hanoi: [21.0278, 105.8342], Vladivostok: [43.1155, 131.8855],
    // far away
    Tokyo: [35.6762, 139.6503], Berlin: [52.52, 13.405], Sydney: [-33.8688, 151.2093],
    'null island': [0, 0],
  };
  for (const [name, point] of Object.entries(outside)) {
    assert.deepEqual(wgs84ToGcj02(...point), point, name);
  }
  assert.deepEqual(wgs84ToGcj02(NaN, 116.4), [NaN, 116.4]);
});
