// Prints what the reference GPMF reader makes of one raw payload file, one
// value per line on standard output, for the comparison test:
//   node gpmf_reference.js RAW_FILE
// Each top-level DEVC record of the file is taken as one sample of the
// recording's "gpmd" track, 1 s long, the i-th starting at i seconds: the
// test wraps the payloads into an MP4 the same way.
// Output lines:
//   payloads N
//   gps CTS_MS LATITUDE LONGITUDE ALTITUDE SPEED_2D DATE_MS|- FIX|-
//   accl CTS_MS A B C        (m/s², in the order the camera stores them)
'use strict';
const fs = require('fs');
const goproTelemetry = require('gopro-telemetry');

function topLevelRecords(raw) {
  const records = [];
  for (let p = 0; p + 8 <= raw.length; ) {
    const size = raw[p + 5] * raw.readUInt16BE(p + 6);
    const padded = (size + 3) & ~3;
    if (raw.toString('latin1', p, p + 4) === 'DEVC') records.push(raw.subarray(p, p + 8 + padded));
    p += 8 + padded;
  }
  return records;
}

async function main() {
  const raw = fs.readFileSync(process.argv[2]);
  const payloads = topLevelRecords(raw);
  const timing = {
    frameDuration: 1 / 30,
    start: new Date(Date.UTC(2020, 0, 1)),
    samples: payloads.map((_, i) => ({ cts: i * 1000, duration: 1000 }))
  };
  const result = await goproTelemetry(
    { rawData: Buffer.concat(payloads), timing },
    // The altitude as recorded (no geoid model) and no samples dropped.
    { stream: ['GPS5', 'GPS9', 'ACCL'], repeatSticky: true, ellipsoid: true }
  );
  const lines = [`payloads ${payloads.length}`];
  const or = v => (v == null ? '-' : String(v));
  for (const device of Object.values(result)) {
    const streams = device.streams || {};
    // A camera that writes GPS9 writes the same fixes as GPS5 too.
    const name = streams.GPS9 ? 'GPS9' : 'GPS5';
    {
      for (const s of (streams[name] || {}).samples || []) {
        const v = s.value;
        const fix = s.fix != null ? s.fix : (s.sticky || {}).fix;
        const date = s.date != null ? new Date(s.date).getTime() : null;
        lines.push(['gps', s.cts, v[0], v[1], v[2], v[3], or(date), or(fix)].join(' '));
      }
    }
    for (const s of (streams.ACCL || {}).samples || [])
      lines.push(['accl', s.cts, ...s.value].join(' '));
  }
  process.stdout.write(lines.join('\n') + '\n');
}

main().catch(e => {
  console.error(e && e.stack ? e.stack : String(e));
  process.exit(1);
});
