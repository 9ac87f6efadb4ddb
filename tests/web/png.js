// Reads the PNG files the tests compare: 8-bit RGB or RGBA, not interlaced
// (what Chromium's screenshots and the program's snapshots are), into rows of
// red, green, blue bytes. Node's own zlib inflates them; nothing else is needed.
'use strict';
const fs = require('fs');
const zlib = require('zlib');

// The Paeth predictor of the PNG filters: the neighbour closest to a + b - c.
function paeth(a, b, c) {
    const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Undoes the filter of each row in place; bpp bytes per pixel, stride bytes per row.
function unfilter(data, height, stride, bpp) {
    const out = Buffer.alloc(height * stride);
    for (let y = 0; y < height; y++) {
        const type = data[y * (stride + 1)];
        const row = data.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
        for (let x = 0; x < stride; x++) {
            const a = x >= bpp ? out[y * stride + x - bpp] : 0;
            const b = y > 0 ? out[(y - 1) * stride + x] : 0;
            const c = x >= bpp && y > 0 ? out[(y - 1) * stride + x - bpp] : 0;
            const predictor = [0, a, b, (a + b) >> 1, paeth(a, b, c)][type];
            if (predictor === undefined) throw new Error('unknown PNG filter ' + type);
            out[y * stride + x] = (row[x] + predictor) & 255;
        }
    }
    return out;
}

// { width, height, rgb } of the PNG file at path.
function readPng(path) {
    const file = fs.readFileSync(path);
    if (file.toString('latin1', 1, 4) !== 'PNG') throw new Error(path + ' is not a PNG file');
    let width = 0, height = 0, channels = 0;
    const idat = [];
    for (let at = 8; at < file.length;) {
        const length = file.readUInt32BE(at), type = file.toString('latin1', at + 4, at + 8);
        const body = file.subarray(at + 8, at + 8 + length);
        if (type === 'IHDR') {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            const depth = body[8], color = body[9], interlace = body[12];
            channels = { 2: 3, 6: 4 }[color];
            if (depth !== 8 || !channels || interlace) throw new Error(path + ': not an 8-bit RGB(A) PNG');
        } else if (type === 'IDAT') {
            idat.push(body);
        }
        at += 12 + length;
    }
    const pixels = unfilter(zlib.inflateSync(Buffer.concat(idat)), height, width * channels, channels);
    const rgb = Buffer.alloc(width * height * 3);
    for (let p = 0; p < width * height; p++) pixels.copy(rgb, p * 3, p * channels, p * channels + 3);
    return { width, height, rgb };
}

module.exports = { readPng };
