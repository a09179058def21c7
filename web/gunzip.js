// The page keeps its WebAssembly module gzip-compressed, so that the text the
// browser reads before it draws the window is less than half as long.
// Browsers unpack it with DecompressionStream; this unpacks it where a
// browser the page supports has none (Firefox before 113, Safari before
// 16.4). It returns the bytes of BYTES, one gzip member, unpacked, and
// throws on anything that is not such a member, rather than reading past it.
function gunzip(bytes) {
  var end = bytes.length;
  var at = 10;
  var flags = bytes[3];
  if (end < 18 || bytes[0] !== 0x1f || bytes[1] !== 0x8b || bytes[2] !== 8) {
    throw new Error('not gzip');
  }
  if (flags & 4) {  // extra field
    at += 2 + (bytes[10] | (bytes[11] << 8));
  }
  for (var zeroEnded = 8; zeroEnded <= 16; zeroEnded *= 2) {  // name, comment
    if (flags & zeroEnded) {
      while (at < end && bytes[at++] !== 0) {}
    }
  }
  if (flags & 2) {  // header check
    at += 2;
  }
  end -= 8;  // the CRC and the unpacked size follow the deflated data
  var out = new Uint8Array((bytes[end + 4] | (bytes[end + 5] << 8) | (bytes[end + 6] << 16) | (bytes[end + 7] << 24)) >>> 0);
  var put = 0;
  var hold = 0;
  var held = 0;

  function bits(count) {
    while (held < count) {
      if (at >= end) {
        throw new Error('gzip data ends early');
      }
      hold |= bytes[at++] << held;
      held += 8;
    }
    var value = hold & ((1 << count) - 1);
    hold >>>= count;
    held -= count;
    return value;
  }

  // A canonical Huffman code from the code length of each symbol.
  function code(lengths) {
    var counts = new Uint16Array(16);
    var offsets = new Uint16Array(16);
    var symbols = new Uint16Array(lengths.length);
    for (var s = 0; s < lengths.length; s++) {
      counts[lengths[s]]++;
    }
    counts[0] = 0;
    for (var n = 1; n < 15; n++) {
      offsets[n + 1] = offsets[n] + counts[n];
    }
    for (s = 0; s < lengths.length; s++) {
      if (lengths[s]) {
        symbols[offsets[lengths[s]]++] = s;
      }
    }
    return { counts: counts, symbols: symbols };
  }

  // The next symbol in CODE, read a bit at a time.
  function decode(code) {
    var value = 0, first = 0, index = 0;
    for (var length = 1; length < 16; length++) {
      value |= bits(1);
      var count = code.counts[length];
      if (value - first < count) {
        return code.symbols[index + value - first];
      }
      index += count;
      first = (first + count) << 1;
      value <<= 1;
    }
    throw new Error('bad gzip code');
  }

  var lengthBase = [3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59, 67, 83, 99, 115,
    131, 163, 195, 227, 258];
  var lengthExtra = [0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0];
  var distanceBase = [1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385, 513, 769, 1025, 1537,
    2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577];
  var distanceExtra = [0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12,
    13, 13];
  var order = [16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15];

  var last;
  do {
    last = bits(1);
    var type = bits(2);
    if (type === 0) {  // stored: from the next whole byte on
      hold = held = 0;
      var size = bytes[at] | (bytes[at + 1] << 8);
      at += 4;
      if (at + size > end || put + size > out.length) {
        throw new Error('bad stored gzip block');
      }
      out.set(bytes.subarray(at, at + size), put);
      at += size;
      put += size;
      continue;
    }
    var lengths = new Uint8Array(320);
    var literals = 288, distances = 30;
    if (type === 1) {  // the fixed codes
      lengths.fill(8, 0, 144);
      lengths.fill(9, 144, 256);
      lengths.fill(7, 256, 280);
      lengths.fill(8, 280, 288);
      lengths.fill(5, 288, 318);
    } else if (type === 2) {  // codes of its own, themselves coded
      literals = bits(5) + 257;
      distances = bits(5) + 1;
      var lengthCodes = bits(4) + 4;
      var codeLengths = new Uint8Array(19);
      for (var i = 0; i < lengthCodes; i++) {
        codeLengths[order[i]] = bits(3);
      }
      var lengthCode = code(codeLengths);
      for (i = 0; i < literals + distances;) {
        var symbol = decode(lengthCode);
        if (symbol < 16) {
          lengths[i++] = symbol;
          continue;
        }
        var repeated = 0, times;
        if (symbol === 16) {
          if (i === 0) {
            throw new Error('bad gzip code lengths');
          }
          repeated = lengths[i - 1];
          times = 3 + bits(2);
        } else {
          times = symbol === 17 ? 3 + bits(3) : 11 + bits(7);
        }
        if (i + times > literals + distances) {
          throw new Error('bad gzip code lengths');
        }
        lengths.fill(repeated, i, i + times);
        i += times;
      }
    } else {
      throw new Error('bad gzip block');
    }
    var literal = code(lengths.subarray(0, literals));
    var distance = code(lengths.subarray(literals, literals + distances));
    for (;;) {
      symbol = decode(literal);
      if (symbol < 256) {
        if (put >= out.length) {
          throw new Error('gzip data longer than it says');
        }
        out[put++] = symbol;
        continue;
      }
      if (symbol === 256) {
        break;
      }
      symbol -= 257;
      if (symbol >= 29) {
        throw new Error('bad gzip code');
      }
      var count = lengthBase[symbol] + bits(lengthExtra[symbol]);
      var d = decode(distance);
      if (d >= 30) {
        throw new Error('bad gzip code');
      }
      var from = put - distanceBase[d] - bits(distanceExtra[d]);
      if (from < 0 || put + count > out.length) {
        throw new Error('bad gzip distance');
      }
      while (count--) {
        out[put++] = out[from++];
      }
    }
  } while (!last);
  if (put !== out.length) {
    throw new Error('gzip data shorter than it says');
  }
  return out;
}
