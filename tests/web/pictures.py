"""Pictures for the browser tests, standard library only: PNG decoding (8-bit greyscale, RGB and
RGBA, not interlaced: what Chromium and ImageMagick write) and comparisons of regions."""
import struct
import zlib


class Picture:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb  # rgb: bytes, 3 per pixel

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])


def decode_png(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos, chunks, header = 8, [], None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks.append(body)
        elif kind == b"IEND":
            break
    width, height, depth, colour, _, _, interlace = header
    channels = {0: 1, 2: 3, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace:
        raise ValueError("unsupported PNG: depth %d, colour type %d" % (depth, colour))
    raw = zlib.decompress(b"".join(chunks))
    stride = width * channels
    out = bytearray(height * stride)
    previous = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind == 1:
            for i in range(channels, stride):
                line[i] = (line[i] + line[i - channels]) & 255
        elif kind == 2:
            for i in range(stride):
                line[i] = (line[i] + previous[i]) & 255
        elif kind == 3:
            for i in range(stride):
                left = line[i - channels] if i >= channels else 0
                line[i] = (line[i] + ((left + previous[i]) >> 1)) & 255
        elif kind == 4:
            for i in range(stride):
                a = line[i - channels] if i >= channels else 0
                b = previous[i]
                c = previous[i - channels] if i >= channels else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                predictor = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + predictor) & 255
        out[y * stride:(y + 1) * stride] = line
        previous = line
    if channels == 3:
        rgb = bytes(out)
    elif channels == 4:
        rgb = bytes(b for i in range(0, len(out), 4) for b in out[i:i + 3])
    else:
        rgb = bytes(v for v in out for _ in range(3))
    return Picture(width, height, rgb)


def differing(a, b, box=None, threshold=48):
    """The share (0 to 1) of the pixels in box (x, y, width, height; default the whole picture)
    where some colour channel differs by more than threshold."""
    if (a.width, a.height) != (b.width, b.height):
        return 1.0
    x0, y0, w, h = box or (0, 0, a.width, a.height)
    bad = 0
    for y in range(y0, y0 + h):
        start = (y * a.width + x0) * 3
        row_a, row_b = a.rgb[start:start + w * 3], b.rgb[start:start + w * 3]
        for i in range(0, w * 3, 3):
            if (abs(row_a[i] - row_b[i]) > threshold or
                    abs(row_a[i + 1] - row_b[i + 1]) > threshold or
                    abs(row_a[i + 2] - row_b[i + 2]) > threshold):
                bad += 1
    return bad / (w * h)


def bright(picture, box, level=200):
    """The number of pixels in box (x, y, width, height) whose every channel is above level."""
    x0, y0, w, h = box
    count = 0
    for y in range(y0, y0 + h):
        row = picture.rgb[(y * picture.width + x0) * 3:(y * picture.width + x0 + w) * 3]
        count += sum(1 for i in range(0, w * 3, 3)
                     if row[i] > level and row[i + 1] > level and row[i + 2] > level)
    return count
