// Hands a volume that ulvren formatted to FatFs, the FAT library that embedded recorders and
// cameras run: mounts it, makes a folder, writes files of several clusters into it, unmounts,
// mounts again, reads them back byte for byte and compares the free-cluster count with the one
// that the geometry gives. Exit 0 when FatFs took the volume as FAT32 and did all that.
//
//   node fatfs_peer.mjs IMAGE CLUSTERS
//
// The image is read and written through a file descriptor, so a sparse image of any size works.
import * as FatFs from 'js-fatfs';
import * as fs from 'node:fs';

const [image, clustersArgument] = process.argv.slice(2);
const clusters = Number(clustersArgument);
const kSector = 512;
const kCluster = 8 * kSector;

const fd = fs.openSync(image, 'r+');
const sectorCount = fs.fstatSync(fd).size / kSector;

// FatFs passes sector numbers as 32-bit values: read them unsigned.
function transfer(call, ff, buff, sector, count) {
    const bytes = count * kSector;
    return call(fd, ff.HEAPU8, buff, bytes, (sector >>> 0) * kSector) === bytes ? FatFs.RES_OK
                                                                              : FatFs.RES_ERROR;
}
const diskio = {
    initialize: () => 0,
    status: () => 0,
    read: (ff, pdrv, buff, sector, count) => transfer(fs.readSync, ff, buff, sector, count),
    write: (ff, pdrv, buff, sector, count) => transfer(fs.writeSync, ff, buff, sector, count),
    ioctl(ff, pdrv, cmd, buff) {
        switch (cmd) {
            case FatFs.CTRL_SYNC:
                fs.fsyncSync(fd);
                return FatFs.RES_OK;
            case FatFs.GET_SECTOR_COUNT:
                ff.setValue(buff, sectorCount, 'i32');
                return FatFs.RES_OK;
            case FatFs.GET_SECTOR_SIZE:
                ff.setValue(buff, kSector, 'i16');
                return FatFs.RES_OK;
            case FatFs.GET_BLOCK_SIZE:
                ff.setValue(buff, 1, 'i32');
                return FatFs.RES_OK;
            default:
                return FatFs.RES_PARERR;
        }
    },
};

function fail(message) {
    console.error(`FAIL: FatFs: ${message}`);
    process.exit(1);
}
const names = Object.fromEntries(
    Object.entries(FatFs).filter(([name]) => name.startsWith('FR_')).map(([n, v]) => [v, n]));
function check(what, result) {
    if (result !== FatFs.FR_OK) fail(`${what}: ${names[result] ?? result}`);
}

const ff = await FatFs.create({diskio});
const volume = ff.malloc(FatFs.sizeof_FATFS);
const file = ff.malloc(FatFs.sizeof_FIL);
const word = ff.malloc(8);

function freeClusters() {
    check('f_getfree', ff.f_getfree('', word, word + 4));
    return ff.getValue(word, 'i32') >>> 0;
}

// Files of a few clusters, none a whole number of them, filled with a pattern of their own.
const files = [['/DCIM/CLIP0001.MP4', 3 * kCluster + 100], ['/DCIM/CLIP0002.MP4', 200000],
               ['/DCIM/PHOTO001.JPG', 1048576 + 7]].map(([path, size], index) => {
    const data = new Uint8Array(size);
    for (let i = 0; i < size; ++i) data[i] = (i * 131 + index * 17 + (i >> 9)) & 0xFF;
    return {path, data};
});
const buffer = ff.malloc(Math.max(...files.map(({data}) => data.length)));

check('f_mount', ff.f_mount(volume, '', 1));
// fs_type, the first byte of the FATFS object.
if (ff.getValue(volume, 'i8') !== FatFs.FS_FAT32) fail(`mounted as type ${ff.getValue(volume, 'i8')}, not FAT32`);
// The root directory's cluster is the only one in use.
const fresh = freeClusters();
if (fresh !== clusters - 1) fail(`${fresh} free clusters on the fresh volume, not ${clusters - 1}`);
check('f_mkdir', ff.f_mkdir('/DCIM'));
for (const {path, data} of files) {
    check(`f_open ${path}`, ff.f_open(file, path, FatFs.FA_WRITE | FatFs.FA_CREATE_NEW));
    ff.HEAPU8.set(data, buffer);
    check(`f_write ${path}`, ff.f_write(file, buffer, data.length, word));
    if (ff.getValue(word, 'i32') !== data.length) fail(`${path}: short write`);
    check(`f_close ${path}`, ff.f_close(file));
}
check('f_unmount', ff.f_unmount(''));

check('f_mount again', ff.f_mount(volume, '', 1));
for (const {path, data} of files) {
    check(`f_open ${path} to read`, ff.f_open(file, path, FatFs.FA_READ));
    check(`f_read ${path}`, ff.f_read(file, buffer, data.length + 1, word));
    const back = ff.HEAPU8.subarray(buffer, buffer + ff.getValue(word, 'i32'));
    if (back.length !== data.length || !back.every((byte, i) => byte === data[i])) {
        fail(`${path} came back changed`);
    }
    check(`f_close ${path}`, ff.f_close(file));
}
// The folder takes one cluster, each file its size rounded up to whole clusters.
const used = 1 + 1 + files.reduce((sum, {data}) => sum + Math.ceil(data.length / kCluster), 0);
const left = freeClusters();
if (left !== clusters - used) fail(`${left} free clusters after the writes, not ${clusters - used}`);
check('f_unmount', ff.f_unmount(''));
fs.closeSync(fd);
console.log(`FatFs: FAT32 of ${clusters} clusters mounted; ${files.length} files written and ` +
            `read back; ${left} clusters free`);
