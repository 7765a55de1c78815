// The two map pages in a real browser, through the calls the player makes
// and the kolvexMapState() hook.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { contains, launchBrowser, mapState, openMap, send } from './browser.mjs';

let browser;
before(async () => {
  browser = await launchBrowser();
});
after(async () => {
  await browser?.close();
});

describe('ymap.html (elliptical Mercator, plain WGS-84)', () => {
  test('the five calls draw marker, whole path and driven path as given', async () => {
    const { page, errors } = await openMap(browser, 'ymap.html');
    await send(page,
      'path_plot(48.137154,11.576124)', 'path_plot(48.138000,11.580000)',
      'path_plot(48.139500,11.585250)', 'pathdrived_plot(48.137154,11.576124)',
      'pathdrived_plot(48.138000,11.580000)', 'movpos(48.138000, 11.580000)');
    let state = await mapState(page);
    assert.equal(state.crs, 'EPSG3395');
    assert.deepEqual(state.marker, [48.138, 11.58]);
    assert.deepEqual(state.path, [[48.137154, 11.576124], [48.138, 11.58], [48.1395, 11.58525]]);
    assert.deepEqual(state.driven, [[48.137154, 11.576124], [48.138, 11.58]]);

    // Each clear removes its own line only; nonsense points are ignored.
    await send(page, 'pathdrived_delete()', 'pathdrived_plot(48.139500,11.585250)',
      'path_plot(NaN,11.5)', "path_plot('x',11.5)", 'path_plot(95.000000,11.500000)');
    state = await mapState(page);
    assert.equal(state.path.length, 3);
    assert.deepEqual(state.driven, [[48.1395, 11.58525]]);
    await send(page, 'path_delete()');
    state = await mapState(page);
    assert.deepEqual(state.path, []);
    assert.deepEqual(state.driven, [[48.1395, 11.58525]]);
    assert.deepEqual(state.marker, [48.138, 11.58]);

    // The car drags the driven path along as it moves on.
    await send(page, 'movpos(48.139500, 11.585250)', 'movpos(48.139500, 11.585250)',
      'movpos(48.140000, 11.590000)');
    state = await mapState(page);
    assert.deepEqual(state.driven, [[48.1395, 11.58525], [48.14, 11.59]]);
    assert.deepEqual(state.marker, [48.14, 11.59]);

    // Without a position the car goes, the lines stay; the next one brings it back.
    await send(page, 'marker_delete()', 'marker_delete()');
    state = await mapState(page);
    assert.equal(state.marker, null);
    assert.equal(state.driven.length, 2);
    await send(page, 'movpos(48.141000, 11.591000)');
    assert.deepEqual((await mapState(page)).marker, [48.141, 11.591]);
    assert.deepEqual(errors, []);
    await page.close();
  });

  test('the speed route runs from green to red over the speeds it was given', async () => {
    const { page, errors } = await openMap(browser, 'ymap.html');
    await send(page, 'speedroute_plot(52.520000,13.400000,0)',
      'speedroute_plot(52.521000,13.401000,0)', 'speedroute_plot(52.522000,13.402000,40)',
      'speedroute_plot(52.523000,13.403000,80)', 'speedroute_plot(52.524000,13.404000,80)',
      'speedroute_plot(NaN,13.4,10)', 'speedroute_plot(52.5,13.4,-3)');
    let state = await mapState(page);
    assert.equal(state.speedRoute.points, 5);
    const lines = state.speedRoute.lines;
    assert.equal(lines[0].colour, 'hsl(120, 85%, 42%)', 'the slowest part is green');
    assert.equal(lines[lines.length - 1].colour, 'hsl(0, 85%, 42%)', 'the fastest red');
    // Neighbouring lines share their joining point: the route has no gaps.
    assert.equal(lines.reduce((n, l) => n + l.points, 0), 5 + lines.length - 1);
    assert.match(state.speedRoute.legend, /^0\s*80 km\/h$/);
    // Its own clear leaves the seeded lines alone and takes the legend away.
    await send(page, 'path_plot(52.520000,13.400000)', 'speedroute_delete()');
    state = await mapState(page);
    assert.deepEqual(state.speedRoute, { points: 0, lines: [], legend: null });
    assert.equal(state.path.length, 1);
    assert.deepEqual(errors, []);
    await page.close();
  });

  test('event marks carry their label and go with their own clear', async () => {
    const { page, errors } = await openMap(browser, 'ymap.html');
    await send(page, 'event_mark(52.520000,13.400000,"Hard braking 00:07.6 \\"0.52 G\\"")',
      'event_mark(NaN,13.4,"x")', 'path_plot(52.520000,13.400000)');
    let state = await mapState(page);
    assert.deepEqual(state.eventMarks, [{ at: [52.52, 13.4], label: 'Hard braking 00:07.6 "0.52 G"' }]);
    await send(page, 'eventmarks_delete()');
    state = await mapState(page);
    assert.deepEqual(state.eventMarks, []);
    assert.equal(state.path.length, 1);
    assert.deepEqual(errors, []);
    await page.close();
  });

  test('offline: lines and marker draw in distinct styles with a scale bar', async () => {
    const { page, errors } = await openMap(browser, 'ymap.html');
    await send(page, 'path_plot(52.520000,13.405000)', 'path_plot(52.530000,13.415000)',
      'pathdrived_plot(52.520000,13.405000)', 'pathdrived_plot(52.525000,13.410000)',
      'movpos(52.525000, 13.410000)');
    await page.waitForFunction(() => JSON.parse(kolvexMapState()).tileErrors > 0);
    const state = await mapState(page);
    assert.equal(state.path.length, 2);
    assert.equal(state.driven.length, 2);
    const strokes = await page.$$eval('.leaflet-overlay-pane path',
      (paths) => paths.map((p) => `${p.getAttribute('stroke')}/${p.getAttribute('stroke-width')}`));
    assert.equal(strokes.length, 2);
    assert.notEqual(strokes[0], strokes[1]);
    assert.equal(await page.locator('.kolvex-car').count(), 1);
    assert.equal(await page.locator('.leaflet-control-scale').count(), 1);
    assert.deepEqual(errors, []);
    await page.close();
  });

  test('fits a new whole path and follows the marker unless the user just moved the map', async () => {
    const { page } = await openMap(browser, 'ymap.html');
    const munich = [];
    for (let i = 0; i < 50; i++) munich.push([48.1 + i * 0.002, 11.5 + i * 0.003]);
    await send(page, 'path_delete()', ...munich.map(([a, b]) => `path_plot(${a},${b})`));
    let state = await mapState(page);
    assert.ok(munich.every((p) => contains(state.view.bounds, p)), 'whole path in view');
    assert.ok(state.view.zoom >= 11, `zoomed in to the path, zoom ${state.view.zoom}`);

    // A new recording elsewhere: the view moves to the new path.
    await send(page, 'movpos(48.100000, 11.500000)', 'path_delete()',
      'path_plot(50.000000,8.000000)', 'path_plot(50.010000,8.020000)');
    state = await mapState(page);
    assert.ok(contains(state.view.bounds, [50.01, 8.02]), 'second path in view');

    // Marker leaves the view: the map pans to it.
    await send(page, 'movpos(50.300000, 8.400000)');
    state = await mapState(page);
    assert.ok(contains(state.view.bounds, [50.3, 8.4]), 'marker followed');

    // The user drags the map; the next far-away position does not pull it back.
    await page.mouse.move(320, 200);
    await page.mouse.down();
    await page.mouse.move(200, 120, { steps: 5 });
    await page.mouse.up();
    await send(page, 'movpos(50.600000, 8.900000)');
    state = await mapState(page);
    assert.deepEqual(state.marker, [50.6, 8.9]);
    assert.ok(!contains(state.view.bounds, [50.6, 8.9]), 'view left where the user put it');
    await page.close();
  });

  test('a path sent while the map has no height is fitted once it is shown', async () => {
    const { page } = await openMap(browser, 'ymap.html');
    await page.setViewportSize({ width: 640, height: 1 });
    await send(page, 'path_delete()', 'path_plot(45.000000,7.000000)',
      'path_plot(45.050000,7.080000)', 'movpos(45.000000, 7.000000)');
    await mapState(page);
    await page.setViewportSize({ width: 640, height: 400 });
    await page.waitForFunction(() => JSON.parse(kolvexMapState()).view.zoom > 8);
    const state = await mapState(page);
    assert.ok(contains(state.view.bounds, [45, 7]) && contains(state.view.bounds, [45.05, 7.08]));
    assert.ok(state.view.zoom >= 11, `zoom ${state.view.zoom}`);
    await page.close();
  });
});

describe('bmap.html (GCJ-02 street map)', () => {
  test('shifts points inside mainland China and no others', async () => {
    const { page, errors } = await openMap(browser, 'bmap.html');
    await send(page, 'path_plot(39.915000,116.404000)', 'path_plot(37.566500,126.978000)',
      'pathdrived_plot(39.915000,116.404000)', 'movpos(39.915000, 116.404000)');
    const state = await mapState(page);
    assert.equal(state.crs, 'EPSG3857');
    const beijing = [39.91640428150164, 116.41024449916938];
    for (const [lat, lon] of [state.path[0], state.driven[0], state.marker]) {
      assert.ok(Math.abs(lat - beijing[0]) < 1e-9 && Math.abs(lon - beijing[1]) < 1e-9, `${lat},${lon}`);
    }
    assert.deepEqual(state.path[1], [37.5665, 126.978], 'Seoul is not shifted');
    assert.deepEqual(errors, []);
    await page.close();
  });

  test('takes its tile address from the query string', async () => {
    const local = 'http://127.0.0.1:9/tiles/{z}/{x}/{y}.png?a=1&b=2';
    const { page } = await openMap(browser, 'bmap.html', `?tiles=${encodeURIComponent(local)}`);
    assert.equal((await mapState(page)).tileUrl, local);
    await page.waitForFunction(() => JSON.parse(kolvexMapState()).tileErrors > 0);
    const { page: plain } = await openMap(browser, 'bmap.html', '?tiles=');
    assert.match((await mapState(plain)).tileUrl, /^https:\/\/webrd0\{s\}\./);
    await page.close();
    await plain.close();
  });
});
