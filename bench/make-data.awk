# Writes the benchmark's data set under `root`: nested folders of small files
# of varied sizes, a few large files and two empty folders; or, for the set
# `many`, 100 000 files of 0 to 700 bytes in 100 folders, as backups of home
# folders and source trees mostly are; or, for the set `text`, about 150 MB
# of the full set's shape in words of text, which compress about 3:1 as
# documents and sources do (the others' hexadecimal text compresses less
# than 2:1 with gzip, and repeats within zstd's reach).
#
#   awk -v root=DIR -v set=full|small|many|text -f bench/make-data.awk
#
# The content is hexadecimal text from a Lehmer generator with a fixed seed,
# worked in exact double arithmetic, so every awk writes the same bytes on
# every run. Files are slices of a 1 MiB pool of such text: one awk process
# writes them all, which keeps generating ~300 MB down to a few seconds.

BEGIN {
    if (root == "" || (set != "full" && set != "small" && set != "many" && set != "text")) {
        print "make-data.awk: needs -v root=DIR -v set=full|small|many|text" > "/dev/stderr"
        exit 2
    }
    seed = 20261208
    BLOCK = 4096
    if (set == "text") {
        BLOCKS = 8192
        make_text_pool()
    } else {
        BLOCKS = 256
        make_pool()
    }

    if (set == "text") {
        nfiles = 4000; ntop = 8; nsub = 8; nleaf = 3
        split("40 40", large_mib, " ")
    } else if (set == "full") {
        nfiles = 5000; ntop = 8; nsub = 8; nleaf = 3
        split("48 56 64 40", large_mib, " ")
    } else {
        nfiles = 200; ntop = 2; nsub = 3; nleaf = 2
        split("2", large_mib, " ")
    }
    split(".txt .dat .bin .c .h .log", exts, " ")
    if (set == "many") {
        make_many(100, 1000, 700)
        exit 0
    }

    make_folders()
    for (i = 0; i < nfiles; i++)
        emit(dirs[rnd(ndirs)] "/" file_name(i), small_size())
    for (i = 1; i in large_mib; i++)
        emit(root "/large/blob" i ".bin", large_mib[i] * 1048576 + 1000 + 37 * i)
}

function rnd(n) {
    seed = (seed * 48271) % 2147483647
    return seed % n
}

# 256 blocks of 4 KiB, built 64 characters at a time so no string grows long.
function make_pool(    b, l, k, line, blk) {
    for (b = 0; b < BLOCKS; b++) {
        blk = ""
        for (l = 0; l < BLOCK / 64; l++) {
            line = ""
            for (k = 0; k < 8; k++)
                line = line sprintf("%08x", rnd(2147483647))
            blk = blk line
        }
        pool[b] = blk
    }
}

# 32 MiB of lines of words, drawn from 2000 made-up words with the common
# ones far more frequent, as in prose; wider than zstd's default window, so
# that the files, slices of it, do not repeat one another within its reach.
function make_text_pool(    i, b, blk, line, r) {
    split("ka lo mi ne su ta re vi do pa gu sen tor lin mar", syl, " ")
    for (i = 0; i < 2000; i++)
        words[i] = syl[1 + rnd(15)] syl[1 + rnd(15)] (i % 3 ? syl[1 + rnd(15)] : "")
    for (b = 0; b < BLOCKS; b++) {
        blk = ""
        while (length(blk) < BLOCK) {
            line = ""
            while (length(line) < 60) {
                r = rnd(2000)
                line = line words[int(r * r / 2000)] " "
            }
            blk = blk line "\n"
        }
        pool[b] = substr(blk, 1, BLOCK)
    }
}

# dirs[] holds the folders files may land in: pN, pN/qM and, under every
# second qM, rK. The two empty folders stay out of it.
function make_folders(    p, q, r, top, mid, cmd) {
    ndirs = 0
    cmd = "mkdir -p -- " quote(root "/large") " " quote(root "/empty") " " \
          quote(root "/p0/q0/empty")
    for (p = 0; p < ntop; p++) {
        top = root "/p" p
        dirs[ndirs++] = top
        for (q = 0; q < nsub; q++) {
            mid = top "/q" q
            dirs[ndirs++] = mid
            cmd = cmd " " quote(mid)
            if (q % 2 == 0)
                for (r = 0; r < nleaf; r++) {
                    dirs[ndirs++] = mid "/r" r
                    cmd = cmd " " quote(mid "/r" r)
                }
        }
    }
    if (system(cmd) != 0)
        exit 1
}

# nfolders folders d000.. under root, each of nper files of 0 to maxsize
# bytes; one mkdir for them all keeps the set quick to make.
function make_many(nfolders, nper, maxsize,    d, i, dir, cmd) {
    cmd = "mkdir -p --"
    for (d = 0; d < nfolders; d++)
        cmd = cmd " " quote(sprintf("%s/d%03d", root, d))
    if (system(cmd) != 0)
        exit 1
    for (d = 0; d < nfolders; d++) {
        dir = sprintf("%s/d%03d", root, d)
        for (i = 0; i < nper; i++)
            emit(dir "/" file_name(d * nper + i), rnd(maxsize + 1))
    }
}

function quote(s) {
    gsub(/'/, "'\\''", s)
    return "'" s "'"
}

# Mostly ordinary names, with some that have no extension, a blank, or a
# leading dot, since an archiver that skips those must not look fast.
function file_name(i,    c) {
    c = rnd(20)
    if (c == 0) return sprintf(".rc%05d", i)
    if (c == 1) return sprintf("note %05d.txt", i)
    if (c == 2) return sprintf("F%05d", i)
    return sprintf("f%05d%s", i, exts[1 + rnd(6)])
}

# Sizes as a source tree or a home folder has them: a few empty files and
# whole 512-byte records, many under 16 KiB, a tail up to half a MiB.
function small_size(    c) {
    c = rnd(100)
    if (c < 2)  return 0
    if (c < 5)  return 512 * (1 + rnd(16))
    if (c < 30) return 1 + rnd(1024)
    if (c < 80) return 1024 + rnd(15 * 1024)
    if (c < 98) return 16384 + rnd(48 * 1024)
    return 65536 + rnd(448 * 1024)
}

# Writes n bytes of the pool to path, starting at a random point and
# wrapping round; printf "" creates the file when n is 0.
function emit(path, n,    b, piece) {
    printf "" > path
    b = rnd(BLOCKS)
    piece = substr(pool[b], 1 + rnd(BLOCK))
    while (n > 0) {
        if (length(piece) > n)
            piece = substr(piece, 1, n)
        printf "%s", piece > path
        n -= length(piece)
        b = (b + 1) % BLOCKS
        piece = pool[b]
    }
    close(path)
}
