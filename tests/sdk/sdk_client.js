// The program's SDK server driven by a real lighting SDK client, as an effect engine or a script would drive it.
// Run by the end-to-end test with the server's port, the SMBus stand-in's journal and a file for the result:
//   node sdk_client.js PORT JOURNAL RESULT
// Each step checks the replies and the lighting calls the step put in the journal; RESULT gets "PASS" or the
// failures, one a line. The whole run gives up after 40 seconds.
'use strict'
const fs = require('fs')
const path = require('path')
const { Client } = require(path.join(__dirname, 'node_modules', 'openrgb-sdk'))

const [port, journal, resultFile] = [Number(process.argv[2]), process.argv[3], process.argv[4]]
const failures = []
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms))
const hex = (n, w) => '0x' + n.toString(16).toUpperCase().padStart(w, '0')
const rgb = (c, a, b, d) => `RGBI2CMode(${hex(c, 2)}, ${hex(a, 2)}, ${hex(b, 2)}, ${hex(d, 2)})`
const effect = (m, s, colour) => `SetZorvaEffect(${hex(m, 2)}, ${hex(s, 4)}, 0x00, ${hex(colour >>> 0, 8)})`
const frame = (colours) => colours.map((c, k) => rgb(16 + k, c.red, c.green, c.blue))

function check(ok, what) {
    if (!ok) failures.push(what)
}
function same(actual, expected, what) {
    check(JSON.stringify(actual) === JSON.stringify(expected),
          `${what}: got ${JSON.stringify(actual)}, want ${JSON.stringify(expected)}`)
}

// The lighting calls of the journal, without timestamps.
function calls() {
    return fs.readFileSync(journal, 'latin1').split(/\r?\n/)
        .map((line) => line.slice(line.indexOf(' ') + 1, line.lastIndexOf(' -> ')))
        .filter((call) => call.startsWith('RGBI2CMode(') || call.startsWith('SetZorvaEffect('))
}
// The calls a step made: those after `from`, once `count` of them are there (or after a second).
async function callsSince(from, count) {
    for (let waited = 0; waited < 1000 && calls().length - from < count; waited += 25) await sleep(25)
    await sleep(150) // nothing more may follow
    return calls().slice(from)
}

const kModeNames = ['Direct', 'Static', 'Breathing', 'Single flash', 'Double flash', 'Rainbow', 'Prismel', 'Meteor',
    'Marquee', 'Twinkle', 'Colour cycle', 'Off']

async function connect(version) {
    const client = new Client('sdk-test', port, '127.0.0.1', version === undefined ? {} : { forceProtocolVersion: version })
    await client.connect()
    return client
}

async function controllerAtEachVersion() {
    const client = await connect()
    same(client.protocolVersion, 5, 'negotiated version')
    same(await client.getControllerCount(), 1, 'controller count')
    const device = await client.getControllerData(0)
    same([device.type, device.name, device.vendor], [1, 'Zorva Prismel DDR4', 'Zorva'], 'controller at 5')
    check(device.location.includes('SMBus'), 'location names the SMBus library: ' + device.location)
    same(device.modes.map((m) => m.name), kModeNames, 'modes at 5')
    same(device.zones.map((z) => [z.name, z.type, z.ledsCount]), [['All modules', 1, 5]], 'zone at 5')
    same(device.leds.map((l) => l.name), ['LED 0', 'LED 1', 'LED 2', 'LED 3', 'LED 4'], 'LEDs at 5')
    same(await client.getProfileList(), [], 'profile list')
    client.disconnect()
    for (const version of [4, 3, 1]) {
        const old = await connect(version)
        same(old.protocolVersion, version, 'forced version')
        const at = await old.getControllerData(0)
        same([at.name, at.vendor, at.modes.map((m) => m.name), at.zones.length, at.colors.length],
             [device.name, device.vendor, kModeNames, 1, 5], `controller at ${version}`)
        same(at.modes[2].colors, device.modes[2].colors, `Breathing's colour at ${version}`)
        old.disconnect()
    }
}

async function directFrame(client) {
    const colours = [{ red: 255, green: 0, blue: 0 }, { red: 0, green: 255, blue: 0 }, { red: 0, green: 0, blue: 255 },
        { red: 255, green: 255, blue: 255 }, { red: 0, green: 0, blue: 0 }]
    const from = calls().length
    client.setCustomMode(0)
    client.updateLeds(0, colours)
    same(await callsSince(from, 6), [rgb(1, 4, 0, 0), ...frame(colours)], 'Direct: select 4 and one frame')
    const device = await client.getControllerData(0)
    same([device.modes[device.activeMode].name, device.colors], ['Direct', colours], 'Direct as the client sees it')
}

async function breathing(client) {
    const colour = { red: 10, green: 20, blue: 30 }
    const from = calls().length
    await client.updateMode(0, { name: 'Breathing', speed: 4, colors: [colour] })
    // Speed 4 is speed step 1 (speed button 4); the effect call's speed unit of Breathing is 100.
    same(await callsSince(from, 10),
         [effect(2, 200, 0xFF0A141E), rgb(1, 3, 0, 0), rgb(2, 1, 1, 0), rgb(2, 0, 1, 0), rgb(2, 16, 0, 0),
          ...frame(Array(5).fill(colour))], 'Breathing: the Apply sequence')
    const device = await client.getControllerData(0)
    const mode = device.modes[device.activeMode]
    same([mode.name, mode.speed, mode.colors], ['Breathing', 4, [colour]], 'Breathing as the client sees it')
}

async function meteor(client) {
    const from = calls().length
    await client.updateMode(0, { name: 'Meteor', speed: 5 })
    const made = await callsSince(from, 2 + 15)
    same(made.slice(0, 2), [effect(7, 4, 0), rgb(1, 4, 0, 0)], 'Meteor: the Apply sequence')
    const red = { red: 255, green: 0, blue: 0 }
    const off = { red: 0, green: 0, blue: 0 }
    same(made.slice(2, 7), frame([red, off, off, off, off]), "Meteor: the timer's first frame")
    same(made.slice(7, 12), frame([off, red, off, off, off]), "Meteor: the timer's second frame")
}

// The lighting saved as a profile (after Breathing) comes back when the client loads it, as Apply would send it.
async function profiles(client) {
    same(await client.getProfileList(), ['Breathing 4'], 'profile list after a save')
    const from = calls().length
    client.loadProfile('Breathing 4')
    const colour = { red: 10, green: 20, blue: 30 }
    const made = (await callsSince(from, 10)).filter((call, k, all) => all.indexOf(effect(2, 200, 0xFF0A141E)) <= k)
    same(made, [effect(2, 200, 0xFF0A141E), rgb(1, 3, 0, 0), rgb(2, 1, 1, 0), rgb(2, 0, 1, 0), rgb(2, 16, 0, 0),
                ...frame(Array(5).fill(colour))], 'a loaded profile: the Apply sequence')
    const device = await client.getControllerData(0)
    same(device.modes[device.activeMode].name, 'Breathing', 'the loaded profile as the client sees it')
    client.deleteProfile('Breathing 4')
    client.loadProfile('no such profile')
    same(await client.getProfileList(), [], 'profile list after a delete')
}

async function switchOff(client) {
    const from = calls().length
    await client.updateMode(0, 'Off')
    // Meteor's timer may add frames until the request arrives.
    const made = (await callsSince(from, 2)).filter((call) => !call.startsWith('RGBI2CMode(0x1'))
    same(made, [rgb(1, 4, 0, 0), effect(1, 0, 0xFF000000)], 'Off: the power-off calls')
    const device = await client.getControllerData(0)
    same(device.modes[device.activeMode].name, 'Off', 'Off as the client sees it')
}

async function main() {
    await controllerAtEachVersion()
    const client = await connect()
    await directFrame(client)
    await breathing(client)
    client.saveProfile('Breathing 4')
    await meteor(client)
    await profiles(client)
    await switchOff(client)
    client.disconnect()
}

const timeout = setTimeout(() => {
    fs.writeFileSync(resultFile, 'timed out\n' + failures.join('\n'))
    process.exit(1)
}, 40000)
main().then(() => {
    clearTimeout(timeout)
    fs.writeFileSync(resultFile, failures.length ? failures.join('\n') : 'PASS')
    process.exit(0)
}, (error) => {
    fs.writeFileSync(resultFile, 'error: ' + error.stack + '\n' + failures.join('\n'))
    process.exit(1)
})
