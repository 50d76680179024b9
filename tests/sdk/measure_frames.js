// Measures the SDK server under an effect engine's load: FRAMES update-LEDs packets at RATE a second, each frame
// distinct, then reads the stand-in's journal for when each frame's last LED command went out, and the program's
// CPU time over the run from /proc (the Wine process whose command line contains MATCH).
//   node measure_frames.js PORT JOURNAL RESULT MATCH [FRAMES] [RATE] [CONNECTS]
// RESULT gets one line: sent, frames that reached the modules, the delay's median and 99th percentile in ms, the
// run's seconds and the program's CPU seconds per minute. With CONNECTS, that many clients then connect, read the
// controller and go, one after another, before the line is written.
'use strict'
const fs = require('fs')
const path = require('path')
const { Client } = require(path.join(__dirname, 'node_modules', 'openrgb-sdk'))

const [port, journal, resultFile, match] = [Number(process.argv[2]), process.argv[3], process.argv[4], process.argv[5]]
const frames = Number(process.argv[6] || 1000)
const rate = Number(process.argv[7] || 60)
const connects = Number(process.argv[8] || 0)
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms))
const now = () => performance.timeOrigin + performance.now()

function programCpuSeconds() {
    const ticks = 100
    for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
        try {
            const command = fs.readFileSync(`/proc/${pid}/cmdline`, 'latin1')
            if (command.includes(match) && command.includes('Prismel.exe')) {
                const fields = fs.readFileSync(`/proc/${pid}/stat`, 'latin1').split(') ')[1].split(' ')
                return (Number(fields[11]) + Number(fields[12])) / ticks
            }
        } catch (_) { /* gone */ }
    }
    return NaN
}

// Frame i: LED 4 carries i in red, green and blue, so its LED command names the frame.
function frameColours(i) {
    const colours = Array.from({ length: 5 }, () => ({ red: 1, green: 2, blue: 3 }))
    colours[4] = { red: i & 0xFF, green: (i >> 8) & 0xFF, blue: (i >> 16) & 0xFF }
    return colours
}

async function main() {
    const client = new Client('measure', port, '127.0.0.1')
    await client.connect()
    client.setCustomMode(0)
    await sleep(200)
    const sentAt = []
    const cpuBefore = programCpuSeconds()
    const start = now()
    for (let i = 0; i < frames; ++i) {
        const due = start + (i * 1000) / rate
        while (now() < due) await sleep(Math.max(0, Math.min(2, due - now())))
        sentAt.push(now())
        client.updateLeds(0, frameColours(i))
    }
    await sleep(500)
    const seconds = (now() - start) / 1000
    const cpu = programCpuSeconds() - cpuBefore
    client.disconnect()
    for (let i = 0; i < connects; ++i) {
        const passing = new Client('passing', port, '127.0.0.1')
        await passing.connect()
        await passing.getControllerData(0)
        passing.disconnect()
    }
    const delays = []
    for (const line of fs.readFileSync(journal, 'latin1').split(/\r?\n/)) {
        const m = /^([\d.]+) RGBI2CMode\(0x14, 0x([0-9A-F]{2}), 0x([0-9A-F]{2}), 0x([0-9A-F]{2})\)/.exec(line)
        if (m) {
            const i = parseInt(m[2], 16) | (parseInt(m[3], 16) << 8) | (parseInt(m[4], 16) << 16)
            if (i < frames) delays.push(Number(m[1]) - sentAt[i])
        }
    }
    delays.sort((a, b) => a - b)
    const at = (q) => delays[Math.min(delays.length - 1, Math.floor(q * delays.length))]
    fs.writeFileSync(resultFile, `sent ${frames} reached ${delays.length} median_ms ${at(0.5).toFixed(2)} ` +
        `p99_ms ${at(0.99).toFixed(2)} seconds ${seconds.toFixed(1)} cpu_s_per_min ${(cpu * 60 / seconds).toFixed(2)}`)
}
main().catch((error) => { fs.writeFileSync(resultFile, 'error: ' + error.stack); process.exit(1) })
